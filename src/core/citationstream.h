#pragma once

#include "citation.h"

class ListReader;
class ListWriter;

// A citation in the program's kept lists, every field in a fixed order.
void WriteCitation(ListWriter& out, const Citation& citation);
// Reads what WriteCitation wrote; damage shows in the reader's ok().
Citation ReadCitation(ListReader& in);
