// Compound files written into a temporary working directory and loaded on
// the recording device, with the message boxes they cause.
#pragma once

#include <string>
#include <vector>

#include "compound/compound.h"
#include "compound/compound_writer.h"
#include "recording_fixture.h"
#include "temp_dir.h"

namespace cf = compound_file;

class CompoundFiles : public RecordingShell {
protected:
    // Writes the three textures the sample file names, so that they load without boxes.
    void SetUp() override;
    // The compound goes before the device it made resources on.
    void TearDown() override;

    // Writes bytes as models/<name> and loads name.
    bool Load(const std::string& bytes, const std::string& name = "test.nc");
    // The texts of the boxes with the loader's caption.
    std::vector<std::string> LoadBoxes() const;
    // Loaded but holding nothing: empty lists, no instances.
    void ExpectEmpty() const;

    TempDir dir;
    WorkingDirectory cwd{dir.path()};
    MessageBoxCapture boxes;
    Compound compound;
    int resourcesBefore = 0;  // device resources alive before anything was loaded
};

// Four vertices of 36 bytes: position (2 components in 12 bytes), normal
// (1 in 12), texcoord (2), colour.
cf::Model SampleModel();
// Every record kind; see the round trip test for what each record exercises.
cf::File SampleFile();

// Little-endian value at offset, for deliberately damaged files.
void Patch32(std::string& bytes, size_t offset, uint32_t value);
