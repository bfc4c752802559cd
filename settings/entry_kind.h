#pragma once

namespace vantorel {

// Kind of a settings or language-table entry; the values are fixed, stored files rely on them.
enum EntryKind : unsigned {
  WindowText = 1,  // language table: the text becomes a window's text
  String = 2,      // a text value
  Integer = 3,     // settings: a 32-bit signed integer value
};

}  // namespace vantorel
