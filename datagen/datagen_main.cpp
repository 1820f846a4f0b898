// velmora-datagen: writes every texture and model the scene reads into a data folder,
// touching only files whose bytes changed; optionally writes PNG previews.
#include <chrono>
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "datagen/data_set.h"
#include "datagen/file_store.h"
#include "datagen/picture_previews.h"
#include "support/printable_text.h"
#include "cli/command_line.h"

namespace {

const char* const USAGE =
    "Usage: velmora-datagen --out DIR [OPTIONS]\n"
    "Makes every picture and model the scene reads and writes them into DIR (the build\n"
    "writes data/ this way). Only files whose bytes changed are written again; the output\n"
    "is the same, byte for byte, on every run.\n"
    "\n"
    "  --out DIR       where the files go (the scene reads them from data/)\n"
    "  --preview DIR   also write every picture, and composites of how the scene joins\n"
    "                  them, as PNG files into DIR\n"
    "  --quiet         no line per file, only the summary\n"
    "  --help          this text\n"
    "  --version       the version\n"
    "Every option also takes its value as --option=VALUE.\n";

}  // namespace

int main(int argc, char** argv) {
  std::string outDir, previewDir;
  bool quiet = false;
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
  std::vector<std::string> operands;
  const int status = line.handle(argc, argv, &operands);
  if (status >= 0) return status;
  if (!operands.empty()) return line.refuse("unexpected argument \"" + printableText(operands[0]) + "\"");
  if (outDir.empty()) return line.refuse("no --out DIR given");

  try {
    auto start = std::chrono::steady_clock::now();
    datagen::DataSet set = datagen::generateDataSet();
    int written = 0;
    for (const datagen::GeneratedFile& f : set.files) {
      bool changed = datagen::writeIfChanged(outDir + "/" + f.path, f.bytes);
      written += changed ? 1 : 0;
      if (!quiet) {
        std::printf("  %-34s %9zu bytes  %s%s\n", f.path.c_str(), f.bytes.size(), f.format.c_str(),
                    changed ? "" : "  (unchanged)");
      }
    }
    auto elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("velmora-datagen: %zu files in %s, %d written, %.2f s\n", set.files.size(),
                printableText(outDir).c_str(), written, elapsed);
    if (!previewDir.empty()) {
      int previews = datagen::writePicturePreviews(set, previewDir);
      std::printf("velmora-datagen: %d previews in %s\n", previews, printableText(previewDir).c_str());
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-datagen: %s; check that the folder can be written\n",
                 printableText(e.what()).c_str());
    return 1;
  }
  return 0;
}
