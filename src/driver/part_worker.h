// The back end of a run that passes its list in parts: it runs the
// statement pass and the writer on each part handed to it, with a context
// of its own, on a thread of its own while the scanner reads on, or at once
// where there are no threads.
#pragma once

#include <string>
#include <vector>

#include "driver/context.h"
#include "output/text_buffer.h"

namespace bprep2 {

// Whether the standard library here has threads; a MinGW compiler of the
// win32 thread model has none.
bool threadsAvailable();

// Starts the back end for the first part. It copies from `front` what the
// passes read of the whole run: the options and the declared names, which
// no later line may change without making the attempt again (see
// driver/stream.cpp). The text of the parts is built in a buffer of its
// own, with room for `expectedText` bytes, until takePartsText.
PartWorkerHandle startParts(const PreprocessorContext& front, size_t expectedText, bool threaded);

// Hands over the tokens of `part`, which is left with tokens of no
// meaning, and the arrays declared since the part before. A part after the
// first begins with the line end the part before it ended with. False when
// a part handed over before failed (see finishParts); the part is then
// dropped.
bool handOverPart(PartWorker& worker, const PreprocessorContext& front, TokenList& part,
                  std::vector<std::string>& arraysDeclared);

// Waits until every part handed over is passed and written. False when one
// failed, or an array was declared that a part passed before had taken for
// something else: the attempt must be made again with the whole list.
bool finishParts(PartWorker& worker);

// Whether a passed part used the object runtime; after finishParts.
bool partsUsedObjectRuntime(const PartWorker& worker);

// Moves the text of the parts passed to `text`; after finishParts.
void takePartsText(PartWorker& worker, TextBuffer& text);

}  // namespace bprep2
