// The culled ground: only the cells that can show, drawn as coarse as the
// ground's vertex lighting allows, and with the grid's own vertices where a
// pick or a sliver seen edge-on needs them exact.
#pragma once

// Draws the ground's cells under the material, normal and texture in force.
// A rendered ground goes in pieces as coarse as its lighting allows, the
// picture within a level or two of the cells drawn one by one; selection and
// feedback get only the cells that can give a hit, with the grid's own
// vertices, so picks are exact.
void drawCulledGroundCells();
