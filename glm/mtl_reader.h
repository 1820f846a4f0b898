// Reading a material library into a model's material table, and the model's
// shared table of material textures.
#pragma once

#include "glm/model.h"
#include "glm/read_status.h"

// Reads the library `name` (relative to the model's directory) into model->mtls,
// replacing an earlier table; map_Kd textures are loaded through glmAcquireTexture.
ReadStatus glmReadMTLChecked(ObjModel* model, const char* name);

// The same; an unreadable library or texture prints its message and ends the process.
void glmReadMTL(ObjModel* model, const char* name);

// Index into model->tex of the texture named by a map line's rest-of-line text,
// loaded through the texture hook the first time a name is seen.
ReadStatus glmAcquireTextureChecked(ObjModel* model, const char* mapText, unsigned* index);

// The same; a texture that cannot be read prints its message and ends the process.
unsigned glmAcquireTexture(ObjModel* model, const char* mapText);
