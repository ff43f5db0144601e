#pragma once

namespace stringart {

// Clears the upper halves of the 256-bit vector registers (vzeroupper) on processors that have
// AVX; does nothing elsewhere. Library code that ran before (the toolkit, the loader, a
// benchmark library) may leave them dirty, and Intel processors then charge every legacy-SSE
// instruction of the figure a merge penalty: about ten times the figure's time. AMD processors
// charge nothing, and the instruction costs a few cycles there.
void ClearUpperVectorState();

// Whether ClearUpperVectorState runs vzeroupper on this processor.
bool ClearsUpperVectorState();

}  // namespace stringart
