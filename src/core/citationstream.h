#pragma once

#include "citation.h"

class QDataStream;

// A citation in the program's kept lists, every field in a fixed order.
void WriteCitation(QDataStream& out, const Citation& citation);
// Reads what WriteCitation wrote; a short or damaged stream shows in its status.
void ReadCitation(QDataStream& in, Citation& citation);
