// The small compound files of a new project.
#pragma once

#include "compound/compound_writer.h"

// A ring turning about a block on a floor, its turn a node track of 100
// keys; cameras "Front" and "Orbit" (moving), lights "Key" and "Rim".
compound_file::File BuildSpinner();
// The demo's skinned, dancing rooster with a camera "Front" and lights
// "Key", "Fill" and "Back"; its material "Galo" takes zk_BoneMatrix.
compound_file::File BuildRooster();
