// What every fuzz target stands on: the recording device (nothing is drawn,
// no GPU needed), a clock that moves on every read, message boxes that only
// print, and a scratch directory that is the working directory.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "temp_dir.h"

// Once per process, from LLVMFuzzerInitialize.
void StartFuzzShell();

// The scratch directory, removed at exit.
const TempDir& FuzzScratch();

// Writes the input to relativePath below the scratch directory (folders
// made as needed) and returns that relative path.
std::string WriteFuzzInput(const std::string& relativePath, const uint8_t* data, size_t size);

// The device log grows with every call; each input starts from an empty one.
void ForgetRecordedCalls();
