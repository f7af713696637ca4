#pragma once

namespace qlm {

struct ClientRecord;
struct ScoringState;

// Fills the scoring state from the current client's record: ClientInfo and CourtCounts as
// trimmed texts ("N/A" for a count not available), ItemAnswers as numbers, the test number
// and the name-deleted flag. The record's fields are written back trimmed (left-aligned).
// `testNumber` is the client's record number.
void UnpackClient(ClientRecord& record, int testNumber, ScoringState& s);

}  // namespace qlm
