// The skylight and dormer cut-out tools, and rebuilding a skylight's outline after its kind,
// size or turn changed.
#pragma once
#include <cstdint>

struct Objex;

// Tool 7310 at the release point (only the end stage acts): a skylight of the document's
// kind on the roof plane that holds it, or the refusal. Returns the skylight or null.
Objex* TrackSkylight(float x, float y, float z, int16_t stage);
// The same for a custom skylight (kind 806) from its definition.
Objex* TrackCustomSkylight(float x, float y, float z, int16_t stage);
// Tool 7309: a cut-out outline entered on a roof plane.
Objex* TrackDormerCutout(int32_t windowX, int32_t windowY, float x, float y, float z, int16_t stage);
// Builds the skylight's outline again from its record around its present middle. The new
// outline is made before the old points go, so a failure leaves the skylight as it was.
void UpdateRoofAttachmentProperties(Objex* skylight, Objex* roof, uint8_t keepDefinition);
