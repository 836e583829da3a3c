#pragma once

namespace quillfen::picture {

// Keeps Leptonica's own diagnostics off standard error, for the rest of the process.
void silenceLeptonica();

}  // namespace quillfen::picture
