// PNG previews of the generated pictures: each picture as stored, plus composites that
// show how the scene joins them (the sky box unfolded round its top, the panorama of
// the four walls, a patch of ground cells, the signboard pictures at the board's shape).
#pragma once

#include <string>

#include "datagen/data_set.h"

namespace datagen {

// Writes the previews into `folder` (created if needed). Returns the number written.
int writePicturePreviews(const DataSet& set, const std::string& folder);

}  // namespace datagen
