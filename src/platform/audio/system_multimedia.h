// The real multimedia system: SystemMultimedia() (declared with the Multimedia interface)
// and its end.
#pragma once

namespace lumen::platform {

// Closes every MCI device, stops the sound and closes the audio output, so that the
// last of the music reaches the output. Call once before the program ends.
void ShutdownSystemMultimedia();

}  // namespace lumen::platform
