#pragma once

namespace qlm {

struct ClientRecord;
struct ScoringState;

// Fills the scoring state from the current client's record: ClientInfo and CourtCounts as
// trimmed texts ("N/A" for a count not available), ItemAnswers as numbers, the test number
// and the name-deleted flag. The record itself is only read: it stays byte for byte as the file
// holds it. `testNumber` is the client's record number.
void UnpackClient(const ClientRecord& record, int testNumber, ScoringState& s);

}  // namespace qlm
