// Material textures of the model library: one mipmapped, repeated texture
// object per diffuse map, read through the registry of the model being read.
#include "image/material_texture.h"

#include <GL/glu.h>

#include <cstdlib>
#include <iostream>

#include "image/image.h"
#include "support/printable_text.h"
#include "support/read_limits.h"
#include "image/texture_loader.h"

CTextureLoader* glmTextureLoader = nullptr;

MaterialTextureResult glmTryLoadTexture(const char* fileName, bool repeat, bool linear, bool mipmap) {
  MaterialTextureResult result;
  while (*fileName == ' ') ++fileName;

  CImage* image = nullptr;
  // Without a registry nothing can be read: the same failure as an unreadable file.
  if (glmTextureLoader == nullptr || !glmTextureLoader->Load(fileName, &image)) {
    result.error = "Error reading texture: " + printableText(fileName) + " \n";
    result.reason = reasonLine(fileName, glmTextureLoader == nullptr ? std::string("no model is being read")
                                                                     : glmTextureLoader->GetFailure());
    return result;
  }
  std::cerr << "Loaded texture: " << printableText(fileName) << std::endl;

  const int components = image->GetFormat() == GL_RGBA ? 4 : 3;
  glPixelStorei(GL_UNPACK_ALIGNMENT, image->GetWidth() * components % 4 != 0 ? 1 : 4);
  glGenTextures(1, &result.id);
  glBindTexture(GL_TEXTURE_2D, result.id);

  GLint minFilter = 0;
  if (linear) {
    minFilter = mipmap ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR;
  } else {
    minFilter = mipmap ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST;
  }
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, linear ? GL_LINEAR : GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, repeat ? GL_REPEAT : GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, repeat ? GL_REPEAT : GL_CLAMP);

  const GLenum format = static_cast<GLenum>(image->GetFormat());
  if (mipmap) {
    // Also rescales sides that are not powers of two.
    gluBuild2DMipmaps(GL_TEXTURE_2D, image->GetBytesPerPixel(), image->GetWidth(), image->GetHeight(), format,
                      GL_UNSIGNED_BYTE, image->GetData());
  } else {
    glTexImage2D(GL_TEXTURE_2D, 0, image->GetBytesPerPixel(), image->GetWidth(), image->GetHeight(), 0, format,
                 GL_UNSIGNED_BYTE, image->GetData());
  }

  result.width = static_cast<float>(image->GetWidth());
  result.height = static_cast<float>(image->GetHeight());
  delete image;
  result.ok = true;
  return result;
}

GLuint glmLoadTexture(const char* fileName, bool repeat, bool linear, bool mipmap, float* width, float* height) {
  MaterialTextureResult result = glmTryLoadTexture(fileName, repeat, linear, mipmap);
  if (!result.ok) {
    std::cerr << result.error << std::endl << result.reason << std::flush;
    std::exit(1);
  }
  *width = result.width;
  *height = result.height;
  return result.id;
}
