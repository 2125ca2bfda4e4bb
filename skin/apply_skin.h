// Skinning the program: the engine library written beside the executable,
// then one built-in skin handed to it. The engine's own work is not here.
#pragma once

#include <cstdint>

// Hands skin number (1 to 33; any other number gives no skin) to the engine.
// Without an engine that loads the program stays unskinned.
void ApplySkin(int32_t number);
// Writes SkinH_EL.dll into the run directory, hidden, unless a file there holds
// the engine's bytes already: anything else of that name is replaced where it
// can be (not while in use or locked), a folder of that name is kept.
void EnsureSkinEngineFile();
// Lets go of the hold on the engine's file, once the library is unloaded.
void LetGoOfSkinEngineFile();
