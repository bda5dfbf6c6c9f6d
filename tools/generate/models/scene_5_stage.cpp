// Scene 5: the whole rooster, centred, for the tiled views.
#include "compound_files.h"
#include "stage_lights.h"

compound_file::File BuildScene5Stage() {
    compound_file::File file;
    stage::AddCamera(file, "ID5", {2, -9, 2.5f}, {0, 0, 1.7f});
    stage::AddLight(file, "KeyWarm", {1.0f, 0.75f, 0.45f}, 0.6f, {3.5f, -5.0f, 4.5f});
    stage::AddLight(file, "FillBlue", {0.3f, 0.55f, 1.0f}, 0.6f, {-4.5f, -3.0f, 2.5f});
    stage::AddLight(file, "BackPink", {1.0f, 0.3f, 0.6f}, 0.6f, {0.5f, 4.0f, 3.5f});
    return file;
}
