// Built only where the skin engine is: the Windows builds.
#include "skin/skin_catalogue.h"
#include "skin_engine_data.h"

ByteArray SkinEngineImage() { return &velmora_skin_engine_image; }
