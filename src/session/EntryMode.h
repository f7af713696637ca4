#pragma once

namespace qlm {

// What a sequence of entry screens works on: a client being added, an existing client being
// edited, or a new client whose answers came from the scanner (no working scanner path yet).
enum class EntryMode { NewClient, Edit, Scanned };

}  // namespace qlm
