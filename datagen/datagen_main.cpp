// velmora-datagen: writes every texture and model the scene reads into a data folder,
// touching only files whose bytes changed and keeping those a person changed;
// optionally writes PNG previews.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "datagen/data_set.h"
#include "datagen/file_store.h"
#include "datagen/picture_previews.h"
#include "support/output_file.h"
#include "support/printable_text.h"
#include "cli/command_line.h"

namespace {

const char* const USAGE =
    "Usage: velmora-datagen --out DIR [OPTIONS]\n"
    "Makes every picture and model the scene reads and writes them into DIR (the build\n"
    "writes data/ this way). Only files whose bytes changed are written again; the output\n"
    "is the same, byte for byte, on every run. A file in DIR that differs both from what\n"
    "it wrote there last time and from what it makes now was put there by a person: it\n"
    "is kept, with a line that names it (DIR/.velmora-datagen.manifest records what it wrote).\n"
    "\n"
    "  --out DIR       where the files go (the scene reads them from data/)\n"
    "  --force         write the generated files over those a person changed too\n"
    "  --preview DIR   also write every picture, and composites of how the scene joins\n"
    "                  them, as PNG files into DIR\n"
    "  --quiet         no line per file, only the summary and the files kept\n"
    "  --help          this text\n"
    "  --version       the version\n"
    "Every option also takes its value as --option=VALUE.\n";

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, previewDir;
  bool quiet = false, force = false;
  CommandLine line("velmora-datagen", USAGE);
  auto folderInto = [](std::string* target) {
    return [target](const std::string& value) -> std::string {
      if (value.empty()) return "takes a folder";
      *target = value;
      return "";
    };
  };
  line.option("--out", folderInto(&outDir));
  line.option("--preview", folderInto(&previewDir));
  line.flag("--quiet", [&quiet] { quiet = true; });
  line.flag("--force", [&force] { force = true; });
  std::vector<std::string> operands;
  const int status = line.handle(argc, argv, &operands);
  if (status >= 0) return status;
  if (!operands.empty()) return line.refuse("unexpected argument \"" + printableText(operands[0]) + "\"");
  if (outDir.empty()) return line.refuse("no --out DIR given");
  // The folders are looked at before the pictures are made.
  for (const std::string& folder : {outDir, previewDir}) {
    if (folder.empty()) continue;
    const std::string problem = outputFolderProblem(folder, datagen::MANIFEST_NAME);
    if (problem.empty()) continue;
    std::fprintf(stderr, "velmora-datagen: %s; name a folder that can be written\n", problem.c_str());
    return 1;
  }

  try {
    auto start = std::chrono::steady_clock::now();
    datagen::DataSet set = datagen::generateDataSet();
    datagen::DataFolder folder(outDir, force);
    int written = 0, kept = 0;
    for (const datagen::GeneratedFile& f : set.files) {
      const datagen::FileAction action = folder.store(f.path, f.bytes);
      written += action == datagen::FileAction::WRITE ? 1 : 0;
      if (action == datagen::FileAction::KEEP) {
        ++kept;
        std::fprintf(stderr,
                     "velmora-datagen: kept %s, changed since it was generated; delete it or run "
                     "velmora-datagen --force to get the generated one back\n",
                     printableText(outDir + "/" + f.path).c_str());
      }
      if (!quiet) {
        std::printf("  %-34s %9zu bytes  %s%s\n", f.path.c_str(), f.bytes.size(), f.format.c_str(),
                    action == datagen::FileAction::UNCHANGED ? "  (unchanged)"
                    : action == datagen::FileAction::KEEP    ? "  (kept, changed by a person)"
                                                             : "");
      }
    }
    folder.saveManifest();
    auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("velmora-datagen: %zu files in %s, %d written, %d kept, %.2f s\n", set.files.size(),
                printableText(outDir).c_str(), written, kept, elapsed);
    if (!previewDir.empty()) {
      int previews = datagen::writePicturePreviews(set, previewDir);
      std::printf("velmora-datagen: %d previews in %s\n", previews, printableText(previewDir).c_str());
    }
  } catch (const std::exception& e) {
    // The message escapes the names it holds. The file it names is as it was.
    std::fprintf(stderr, "velmora-datagen: %s; that file is unchanged, run it again once this is fixed\n", e.what());
    return 1;
  }
  return 0;
}
