// What the GL layer offers the rest of the web platform (GLU, GLUT, the page's
// hooks) beyond the GL entry points themselves.
#pragma once

#include <string>

#include "web/gl/matrix.h"

namespace webgl {

// One console line, once, naming a call or a use of it the layer does not implement.
void refuse(const std::string& what);

// The device exists (the GLUT window made the WebGL 2 context): drawing starts.
void deviceReady();

// Draws whatever triangles wait for the device.
void flushDrawing();

// The current matrix times m, as glMultMatrix does (kept in a list being compiled).
void multiplyCurrentMatrix(const Matrix& m);

// The top of the modelview (0x0BA6) or projection (0x0BA7) stack.
void getMatrix(unsigned which, float out[16]);

// GL_RENDER or GL_SELECT.
int renderMode();

// Level 0 of the bound texture from client memory (GL_RGB, GL_RGBA, GL_BGR
// or GL_BGRA bytes under the unpack alignment), with mipmaps on request.
void uploadTexture(int internalFormat, int width, int height, unsigned format, unsigned type, const void* pixels,
                   bool mipmaps, const char* call);

}  // namespace webgl
