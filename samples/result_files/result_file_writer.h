// Writers of the solver's result files, for tests, benchmarks and the sample project.
// KeyedFileWriter lays out one keyed direct-access file: chained directory blocks of a header
// and 20 entries, the "HEAD" entry, data sets aligned to their own record length. Switches
// produce the damaged files a reader must survive. ResultSetBuilder writes the '2' file, the
// '1' file and the direct files of one base path from history, model and displacement facts.
#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kvpvs::resultfiles {

using Record = std::vector<unsigned char>;

Record ints_record(const std::vector<std::int32_t>& values);
Record doubles_record(const std::vector<double>& values);

class KeyedFileWriter {
public:
    static constexpr int ENTRIES_PER_BLOCK = 20;
    static constexpr int DIRECTORY_RECORD_BYTES = 20;

    // Header fields of one directory block; unset fields take the format's values.
    struct HeaderOverride {
        std::optional<std::array<char, 4>> tag;
        std::optional<std::int32_t> format_code;
        std::optional<float> version;
        std::optional<std::int32_t> entry_count;
        std::optional<std::int32_t> next_block;
    };

    explicit KeyedFileWriter(std::int32_t format_code = 2) : format_code_(format_code) {}

    // A data set of records of record_words 4-byte words; each record is padded with zero
    // bytes (or cut) to that length. Duplicates are written as given.
    void add_data_set(const std::string& key, std::int32_t sub_id, std::int32_t record_words,
                      std::vector<Record> records);
    // The entries that follow go into a new directory block.
    void start_new_block();
    // A blank entry (four blanks, zero numbers) at this place of the directory.
    void add_blank_entry();
    void override_header(int block_index, const HeaderOverride& o) { overrides_[block_index] = o; }
    // Keep only the first `bytes` bytes of the file.
    void truncate_to(std::size_t bytes) { truncate_ = bytes; }
    void omit_head_entry() { head_entry_ = false; }

    std::vector<unsigned char> bytes() const;
    bool write(const std::string& path) const;

private:
    struct Item {
        enum Kind { data_set, blank, block_break } kind;
        std::string key;
        std::int32_t sub_id = 0;
        std::int32_t record_words = 0;
        std::vector<Record> records;
    };
    std::int32_t format_code_;
    std::vector<Item> items_;
    std::map<int, HeaderOverride> overrides_;
    std::optional<std::size_t> truncate_;
    bool head_entry_ = true;
};

// Displacement facts of one history.
struct HistoryFacts {
    std::int32_t type = 2;           // 1 modal, 2 or 3 direct
    std::int32_t case_or_file = 1;   // modal case, or number of the direct file
    std::int32_t steps_per_mode = 0;
    std::int32_t modes = 0;
    std::optional<std::int32_t> thlg;
};

// Facts of one plate element record (data set "PLAT", 650 values): the element's equation
// numbers, its stored matrix (rows x equations.size(), column by column) and its element block.
struct PlateRecordFacts {
    std::vector<double> equations;
    std::vector<double> matrix;
    int matrix_rows = 0;
    double stored_nodes = 4;
    std::array<double, 4> nodes{};
    std::array<std::array<double, 3>, 4> xyz{};
    std::array<double, 11> section{};
    double E = 0.0;
    double nu = 0.0;
    double material_type = 0;
    std::array<double, 9> constants{};
    double release_flag = 0;
    std::array<double, 4> release_codes{};
    double plate_type = 0;
};

constexpr std::int32_t PLATE_RECORD_VALUES = 650;
constexpr std::int32_t PLATE_RECORD_WORDS = 2 * PLATE_RECORD_VALUES;

// The 650 values of a PLAT record (tests alter single values before doubles_record).
std::vector<double> plate_record_values(const PlateRecordFacts& f);
Record plate_record(const PlateRecordFacts& f);

// Facts of one six- or eight-node plate record (data set "PLTH", 84 values): values 1..48 the
// equation numbers, 49 their count N (equations.size() unless dof_count says otherwise), 52 the
// node count, 53..60 the node numbers, 61..71 the section, 72..83 the material.
struct QuadPlateRecordFacts {
    std::vector<double> equations;
    std::optional<double> dof_count;
    double node_count = 8;
    std::array<double, 8> nodes{};
    std::array<double, 11> section{};
    double E = 0.0;
    double nu = 0.0;
    double material_type = 0;
    std::array<double, 9> constants{};
};

constexpr std::int32_t PLTH_RECORD_VALUES = 84;
constexpr std::int32_t PLTH_RECORD_WORDS = 2 * PLTH_RECORD_VALUES;

// The 84 values of a PLTH record (tests alter single values before doubles_record).
std::vector<double> plth_record_values(const QuadPlateRecordFacts& f);
Record plth_record(const QuadPlateRecordFacts& f);

// One keyed file per family of a base path, filled from model and history facts. Record
// layouts are those the readers expect: THIF 5 ints, THLG 1 int, MATL 13 doubles, ELMT ints,
// CORD 3 doubles, NDSP 27 doubles, MDSP 3 doubles, MSHP one double per mode, DMED and MSER
// three records per series with the displacement series in the third.
class ResultSetBuilder {
public:
    explicit ResultSetBuilder(int product_selector = 4) : product_selector_(product_selector) {}

    void set_history(int history_id, const HistoryFacts& facts) { histories_[history_id] = facts; }
    void add_material(std::int32_t number, double E, double nu, std::int32_t type = 0,
                      const std::array<double, 9>& constants = {});
    // ELMT record of an element: first word the material number, then `rest`.
    void set_element(int element_number, std::int32_t material, const std::vector<std::int32_t>& rest = {});
    void set_element_words(std::int32_t words) { element_words_ = words; }
    void set_node(int node, double x, double y, double z) { nodes_[node] = {x, y, z}; }
    // Nodal-axes matrix of a node: values 7..27 of its NDSP record (upper triangle, row by row).
    void set_node_axes(int node, const std::array<std::array<double, 6>, 6>& T) { node_axes_[node] = T; }
    // Modal coordinate q(case, mode, step) and mode shape s(equation, mode).
    void set_modal_coordinates(int modal_case, int modes, int steps, const std::vector<double>& q_mode_step);
    void set_mode_shape(int equation, const std::vector<double>& values_per_mode) { shapes_[equation] = values_per_mode; }
    // Displacement series of an equation in direct file `set`.
    void set_direct_series(int set, int equation, const std::vector<double>& series) { direct_[set][equation] = series; }
    void set_direct_steps(int set, int steps) { direct_steps_[set] = steps; }
    // Supports with their own motion in history `history_id`: (node, direction) and series.
    void add_support_motion(int history_id, std::int32_t node, std::int32_t direction, const std::vector<double>& series);
    // Element records of a family data set ("PLAT", "SOLD", ...) of the '2' file; the readers
    // take sub-id 4 when the history's THLG value is 2, else 3.
    void add_family_records(const std::string& key, std::int32_t record_words, std::vector<Record> records,
                            std::int32_t sub_id = 3);
    // Records 1.. of data set "PLTH" of the '2' file under the given sub-id.
    void add_plth_records(const std::vector<QuadPlateRecordFacts>& plates, std::int32_t sub_id = 3);
    // A data set of the '1' file.
    void add_result_records(const std::string& key, std::int32_t sub_id, std::int32_t record_words,
                            std::vector<Record> records);

    // Assemble the keyed files; afterwards the failure switches of each writer may be used.
    void assemble();
    KeyedFileWriter& elem_file() { return elem_; }
    KeyedFileWriter& result_file() { return result_; }
    KeyedFileWriter& direct_file(int set) { return direct_files_[set]; }

    // File names of a base path for the builder's product.
    std::string elem_file_name(const std::string& base) const;
    std::string result_file_name(const std::string& base) const;
    std::string direct_file_name(const std::string& base, int set) const;
    // Writes every file; assembles first unless assemble() was called since the last write.
    bool write(const std::string& base);

private:
    int product_selector_;
    bool assembled_ = false;
    std::map<int, HistoryFacts> histories_;
    std::vector<std::vector<double>> materials_;
    std::map<int, std::vector<std::int32_t>> elements_;
    std::int32_t element_words_ = 8;
    std::map<int, std::array<double, 3>> nodes_;
    std::map<int, std::array<std::array<double, 6>, 6>> node_axes_;
    struct Modal {
        int modes = 0;
        int steps = 0;
        std::vector<double> q;
    };
    std::map<int, Modal> modal_;
    std::map<int, std::vector<double>> shapes_;
    std::map<int, std::map<int, std::vector<double>>> direct_;
    std::map<int, int> direct_steps_;
    struct Support {
        std::int32_t node;
        std::int32_t direction;
        std::vector<double> series;
    };
    std::map<int, std::vector<Support>> supports_;
    struct Extra {
        std::string key;
        std::int32_t sub_id;
        std::int32_t words;
        std::vector<Record> records;
    };
    std::vector<Extra> family_records_;
    std::vector<Extra> result_records_;
    KeyedFileWriter elem_;
    KeyedFileWriter result_;
    std::map<int, KeyedFileWriter> direct_files_;
};

} // namespace kvpvs::resultfiles
