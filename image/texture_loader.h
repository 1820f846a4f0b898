// The loader registry: file extensions mapped to image loaders, and the one
// call that turns a file name into a new, filled CImage.
#pragma once

#include <list>
#include <string>

class CImage;
class CImageLoader;

class CTextureLoader {
 public:
  static constexpr int EXTENSION_SIZE = 128;

  struct _LoaderListEntryH {
    char extension[EXTENSION_SIZE];  // lower case, without the dot, NUL-terminated
    CImageLoader* loader;
  };

  // Registers "tga" and then "bmp", each with a loader of its own.
  CTextureLoader();
  // Releases every entry and every loader the registry holds.
  ~CTextureLoader();

  CTextureLoader(const CTextureLoader&) = delete;
  CTextureLoader& operator=(const CTextureLoader&) = delete;

  // Appends `extension` -> `loader`; the registry takes ownership of the loader.
  // An extension that does not fit an entry (128 characters or more) is not
  // registered: false, and the loader stays the caller's.
  bool RegisterLoader(const char* extension, CImageLoader* loader);

  // Writes the lower-cased text after the file name's last '.' into the 128-byte
  // buffer ("" without a dot). An extension too long for the buffer gives "" and false.
  bool GetExtension(const char* fileName, char* extension);

  // The loader of the first entry with exactly this extension, or null.
  CImageLoader* FindLoader(const char* extension);

  // On true *image is a new image that the caller owns; on false it is null.
  bool Load(const char* fileName, CImage** image);

  // Why the last Load returned false, in words a user can act on (no loader
  // for the name, or the loader's own reason); empty after a success.
  const std::string& GetFailure() const { return failure; }

 private:
  // ".tga, .bmp files": the registered extensions, for the reasons above.
  std::string KnownExtensions() const;

  std::list<_LoaderListEntryH*> loaders;
  std::string failure;
};
