// Reading a model for its picture: as the program reads it, with the material
// textures made into OpenGL textures, except that what only colours the model
// may be missing. A material library that cannot be opened is left out (the
// model is then drawn in the picture's light grey), and so is a material
// texture that cannot be read (its materials turn light grey); the program's
// message for each comes back in `missing`. Everything else the program
// refuses is refused here too.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "glm/model.h"
#include "glm/obj_reader.h"
#include "glm/read_status.h"

// Needs a current GL context.
ReadStatus readModelForPicture(const std::string& path, std::unique_ptr<ObjModel>* model, ObjReadNotes* notes,
                               std::vector<std::string>* missing);
