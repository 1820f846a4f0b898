// The model library: reading OBJ models with their MTL materials, fitting them,
// giving them normals and drawing them. The scene includes only this header.
#pragma once

#include "glm/draw.h"
#include "glm/fitting.h"
#include "glm/model.h"
#include "glm/mtl_reader.h"
#include "glm/normals.h"
#include "glm/obj_reader.h"
#include "glm/read_status.h"
#include "glm/texture_hook.h"
