// The library the program ships, made by our own generator: textures, trims, plants,
// catalogues, objects, templates, symbols, door and window definitions and a provider.
// The generator is deterministic: the same files, byte for byte, on every run.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct ShippedFile {
  bool shared = false;  // lies under the user's shared root (else under the support root)
  std::string path;     // relative to its root, starting "QVRA/"
  std::vector<uint8_t> bytes;
};

// Every file of the shipped library. Needs a QGuiApplication (images are drawn).
std::vector<ShippedFile> GenerateShippedLibrary();
// Writes the library into a content folder: support files at <folder>/<path>, shared files at
// <folder>/QVRA/Shared/<path>. False when a file cannot be written.
bool WriteShippedLibrary(const std::string& contentFolder);
// Copies every file under `from` that is missing under `to` (never over an existing file);
// returns the number copied.
int InstallShippedLibrary(const std::string& from, const std::string& to);
// Start-up: the shipped shared files of the support root into the user's shared root.
int InstallShippedLibrary();
