// The loader registry: extension rules, loader lookup and the single Load entry point.
#include "image/texture_loader.h"

#include <cctype>
#include <cstring>
#include <set>

#include "image/bmp_loader.h"
#include "image/image.h"
#include "support/printable_text.h"
#include "image/tga_loader.h"

CTextureLoader::CTextureLoader() {
  RegisterLoader("tga", new CTGAImageLoader());
  RegisterLoader("bmp", new CBMPImageLoader());
}

CTextureLoader::~CTextureLoader() {
  // One loader may serve several extensions: delete each once.
  std::set<CImageLoader*> owned;
  for (_LoaderListEntryH* entry : loaders) {
    owned.insert(entry->loader);
    delete entry;
  }
  for (CImageLoader* loader : owned) delete loader;
}

bool CTextureLoader::RegisterLoader(const char* extension, CImageLoader* loader) {
  const std::size_t length = std::strlen(extension);
  if (length >= EXTENSION_SIZE) return false;
  auto* entry = new _LoaderListEntryH;
  std::memcpy(entry->extension, extension, length + 1);
  entry->loader = loader;
  loaders.push_back(entry);
  return true;
}

bool CTextureLoader::GetExtension(const char* fileName, char* extension) {
  extension[0] = '\0';
  const char* dot = std::strrchr(fileName, '.');
  if (dot == nullptr) return true;
  const char* text = dot + 1;
  const std::size_t length = std::strlen(text);
  // Cutting a long extension to fit could make it match a registered one.
  if (length >= EXTENSION_SIZE) return false;
  for (std::size_t i = 0; i <= length; ++i) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    extension[i] = static_cast<char>(std::isupper(c) ? std::tolower(c) : c);
  }
  return true;
}

CImageLoader* CTextureLoader::FindLoader(const char* extension) {
  for (_LoaderListEntryH* entry : loaders) {
    if (std::strncmp(entry->extension, extension, EXTENSION_SIZE) == 0) return entry->loader;
  }
  return nullptr;
}

std::string CTextureLoader::KnownExtensions() const {
  std::string text;
  for (const _LoaderListEntryH* entry : loaders) {
    if (!text.empty()) text += ", ";
    text += std::string(".") + entry->extension;
  }
  return text + " files";
}

bool CTextureLoader::Load(const char* fileName, CImage** image) {
  *image = nullptr;
  failure.clear();
  char extension[EXTENSION_SIZE];
  if (!GetExtension(fileName, extension)) {
    failure = "no loader for so long an extension; pictures are read from " + KnownExtensions();
    return false;
  }
  CImageLoader* loader = FindLoader(extension);
  if (loader == nullptr) {
    failure = extension[0] == '\0' ? "no file extension to choose a loader by; pictures are read from " + KnownExtensions()
                                    : "no loader for the extension \"" + printableText(extension) +
                                          "\"; pictures are read from " + KnownExtensions();
    return false;
  }
  *image = new CImage();
  if (!loader->Load(fileName, *image)) {
    failure = loader->GetFailure();
    delete *image;
    *image = nullptr;
  }
  return *image != nullptr;
}
