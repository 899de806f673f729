// Record access shared by the family routines: an element record of a family data set and
// the node coordinates of the '2' file, read only when the data set holds the record whole.
// A family whose records cannot be read leaves its rows of the work array at zero.
#pragma once

namespace kvpvs::recovery {

// Sub-id of the family data sets of the history: 4 when thlg_value is 2, otherwise 3.
int family_sub_id();

// Reads the first `count` doubles of record `index` (1-based within the data set) of data set
// (sub_id, key slot) of the '2' file into out. False, with out unspecified, when the data set
// is absent, the index lies outside its records, the record is shorter than `count` values
// or a value read is not finite.
bool read_family_record(int sub_id, int key, int index, double* out, int count);

// xyz(3, n), column-major: the CORD record (x, y, z) of each node number; false when a node
// has no complete, finite record.
bool read_node_coordinates(const int* node_numbers, int n, double* xyz);

} // namespace kvpvs::recovery
