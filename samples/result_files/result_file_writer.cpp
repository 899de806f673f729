#include "result_files/result_file_writer.h"

#include <algorithm>
#include <cstring>
#include <fstream>

namespace kvpvs::resultfiles {
namespace {

void put_bytes(std::vector<unsigned char>& out, std::size_t at, const void* p, std::size_t n)
{
    if (out.size() < at + n)
        out.resize(at + n, 0);
    std::memcpy(out.data() + at, p, n);
}

// Little-endian 4-byte word.
void put_word(std::vector<unsigned char>& out, std::size_t at, std::uint32_t w)
{
    const unsigned char b[4] = {static_cast<unsigned char>(w), static_cast<unsigned char>(w >> 8),
                                static_cast<unsigned char>(w >> 16), static_cast<unsigned char>(w >> 24)};
    put_bytes(out, at, b, 4);
}

void put_int(std::vector<unsigned char>& out, std::size_t at, std::int32_t v) { put_word(out, at, static_cast<std::uint32_t>(v)); }

void put_float(std::vector<unsigned char>& out, std::size_t at, float v)
{
    std::uint32_t w = 0;
    std::memcpy(&w, &v, 4);
    put_word(out, at, w);
}

void put_key(std::vector<unsigned char>& out, std::size_t at, const std::string& key)
{
    char k[4] = {' ', ' ', ' ', ' '};
    std::memcpy(k, key.data(), std::min<std::size_t>(4, key.size()));
    put_bytes(out, at, k, 4);
}

std::size_t round_up(std::size_t v, std::size_t unit) { return unit == 0 ? v : (v + unit - 1) / unit * unit; }

struct Extensions {
    const char* elem;
    const char* result;
    const char* direct;
};

Extensions extensions_of(int selector)
{
    static const Extensions table[5] = {{".xa2", ".xa1", ".xat"}, {".na2", ".na1", ".NAT"}, {".fa2", ".fa1", ".fat"},
                                        {".ka2", ".ka1", ".KAT"}, {".za2", ".za1", ".ZAT"}};
    return table[std::clamp(selector, 1, 5) - 1];
}

} // namespace

Record ints_record(const std::vector<std::int32_t>& values)
{
    Record r;
    for (std::size_t i = 0; i < values.size(); ++i)
        put_int(r, 4 * i, values[i]);
    return r;
}

Record doubles_record(const std::vector<double>& values)
{
    Record r;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::uint64_t w = 0;
        std::memcpy(&w, &values[i], 8);
        put_word(r, 8 * i, static_cast<std::uint32_t>(w));
        put_word(r, 8 * i + 4, static_cast<std::uint32_t>(w >> 32));
    }
    return r;
}

void KeyedFileWriter::add_data_set(const std::string& key, std::int32_t sub_id, std::int32_t record_words,
                                   std::vector<Record> records)
{
    items_.push_back({Item::data_set, key, sub_id, record_words, std::move(records)});
}

void KeyedFileWriter::start_new_block() { items_.push_back({Item::block_break, {}, 0, 0, {}}); }

void KeyedFileWriter::add_blank_entry() { items_.push_back({Item::blank, {}, 0, 0, {}}); }

std::vector<unsigned char> KeyedFileWriter::bytes() const
{
    // Split the directory into blocks of at most 20 entries; block 1 starts with "HEAD".
    std::vector<std::vector<const Item*>> blocks(1);
    static const Item head{Item::data_set, "HEAD", 1, 5, {}};
    if (head_entry_)
        blocks[0].push_back(&head);
    for (const Item& it : items_) {
        if (it.kind == Item::block_break) {
            blocks.emplace_back();
            continue;
        }
        if (blocks.back().size() == ENTRIES_PER_BLOCK)
            blocks.emplace_back();
        blocks.back().push_back(&it);
    }

    std::vector<unsigned char> out;
    std::size_t end = 0;
    std::vector<std::size_t> header_record(blocks.size());
    // Each block is followed by its data sets; every data set starts at a multiple of its own
    // record length, so that its first record number counts in that length.
    struct Entry {
        std::string key;
        std::int32_t sub_id, first, last, words;
    };
    std::vector<std::vector<Entry>> entries(blocks.size());
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        end = round_up(end, DIRECTORY_RECORD_BYTES);
        header_record[b] = end / DIRECTORY_RECORD_BYTES + 1;
        end += DIRECTORY_RECORD_BYTES * (ENTRIES_PER_BLOCK + 1);
        out.resize(end, 0);
        for (const Item* it : blocks[b]) {
            if (it->kind == Item::blank) {
                entries[b].push_back({"    ", 0, 0, 0, 0});
                continue;
            }
            if (it == &head) {
                entries[b].push_back({"HEAD", 1, 2, 21, 5});
                continue;
            }
            const std::size_t record_bytes = static_cast<std::size_t>(std::max(it->record_words, 1)) * 4;
            end = round_up(end, record_bytes);
            const std::size_t first = end / record_bytes + 1;
            for (const Record& r : it->records) {
                Record padded = r;
                padded.resize(static_cast<std::size_t>(std::max(it->record_words, 0)) * 4, 0);
                put_bytes(out, end, padded.data(), padded.size());
                end += record_bytes;
            }
            out.resize(std::max(out.size(), end), 0);
            entries[b].push_back({it->key, it->sub_id, static_cast<std::int32_t>(first),
                                  static_cast<std::int32_t>(first + it->records.size()) - 1, it->record_words});
        }
    }
    for (std::size_t b = 0; b < blocks.size(); ++b) {
        const std::size_t at = (header_record[b] - 1) * DIRECTORY_RECORD_BYTES;
        HeaderOverride o;
        if (auto f = overrides_.find(static_cast<int>(b)); f != overrides_.end())
            o = f->second;
        const std::array<char, 4> tag = o.tag.value_or(std::array<char, 4>{'T', 'V', 'N', ' '});
        put_bytes(out, at, tag.data(), 4);
        put_int(out, at + 4, o.format_code.value_or(format_code_));
        put_float(out, at + 8, o.version.value_or(1.0f));
        put_int(out, at + 12, o.entry_count.value_or(ENTRIES_PER_BLOCK));
        const std::int32_t next = b + 1 < blocks.size() ? static_cast<std::int32_t>(header_record[b + 1]) : 0;
        put_int(out, at + 16, o.next_block.value_or(next));
        for (int e = 0; e < ENTRIES_PER_BLOCK; ++e) {
            const std::size_t ea = at + DIRECTORY_RECORD_BYTES * static_cast<std::size_t>(e + 1);
            if (static_cast<std::size_t>(e) >= entries[b].size()) {
                put_key(out, ea, "    ");
                continue;
            }
            const Entry& en = entries[b][static_cast<std::size_t>(e)];
            put_key(out, ea, en.key);
            put_int(out, ea + 4, en.sub_id);
            put_int(out, ea + 8, en.first);
            put_int(out, ea + 12, en.last);
            put_int(out, ea + 16, en.words);
        }
    }
    if (truncate_ && *truncate_ < out.size())
        out.resize(*truncate_);
    return out;
}

bool KeyedFileWriter::write(const std::string& path) const
{
    const std::vector<unsigned char> b = bytes();
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    return static_cast<bool>(f);
}

void ResultSetBuilder::add_material(std::int32_t number, double E, double nu, std::int32_t type,
                                    const std::array<double, 9>& constants)
{
    std::vector<double> v = {static_cast<double>(number), E, nu, static_cast<double>(type)};
    v.insert(v.end(), constants.begin(), constants.end());
    materials_.push_back(std::move(v));
}

void ResultSetBuilder::set_element(int element_number, std::int32_t material, const std::vector<std::int32_t>& rest)
{
    std::vector<std::int32_t> w = {material};
    w.insert(w.end(), rest.begin(), rest.end());
    elements_[element_number] = std::move(w);
}

void ResultSetBuilder::set_modal_coordinates(int modal_case, int modes, int steps, const std::vector<double>& q)
{
    modal_[modal_case] = {modes, steps, q};
}

void ResultSetBuilder::add_support_motion(int history_id, std::int32_t node, std::int32_t direction,
                                          const std::vector<double>& series)
{
    supports_[history_id].push_back({node, direction, series});
}

void ResultSetBuilder::add_family_records(const std::string& key, std::int32_t record_words, std::vector<Record> records,
                                          std::int32_t sub_id)
{
    family_records_.push_back({key, sub_id, record_words, std::move(records)});
}

std::vector<double> plate_record_values(const PlateRecordFacts& f)
{
    std::vector<double> v(PLATE_RECORD_VALUES, 0.0);
    const std::size_t n = f.equations.size();
    const std::size_t m = static_cast<std::size_t>(std::max(f.matrix_rows, 0));
    // Values 1..N the equations, N+1..N+N*M the matrix column by column; what does not fit
    // the 600 values is left out.
    for (std::size_t j = 0; j < n && j < 600; ++j)
        v[j] = f.equations[j];
    for (std::size_t k = 0; k < f.matrix.size() && n + k < 600; ++k)
        v[n + k] = f.matrix[k];
    v[600] = static_cast<double>(n);
    v[601] = static_cast<double>(m);
    // Element block value k is record value 603 + k.
    auto block = [&v](int k) -> double& { return v[static_cast<std::size_t>(603 + k - 1)]; };
    block(1) = f.stored_nodes;
    for (int k = 0; k < 4; ++k) {
        block(2 + k) = f.nodes[static_cast<std::size_t>(k)];
        for (int c = 0; c < 3; ++c)
            block(6 + 3 * k + c) = f.xyz[static_cast<std::size_t>(k)][static_cast<std::size_t>(c)];
        block(43 + k) = f.release_codes[static_cast<std::size_t>(k)];
    }
    for (int i = 0; i < 11; ++i)
        block(18 + i) = f.section[static_cast<std::size_t>(i)];
    block(29) = f.E;
    block(30) = f.nu;
    block(31) = f.material_type;
    for (int i = 0; i < 9; ++i)
        block(32 + i) = f.constants[static_cast<std::size_t>(i)];
    block(42) = f.release_flag;
    block(47) = f.plate_type;
    return v;
}

Record plate_record(const PlateRecordFacts& f) { return doubles_record(plate_record_values(f)); }

std::vector<double> plth_record_values(const QuadPlateRecordFacts& f)
{
    std::vector<double> v(PLTH_RECORD_VALUES, 0.0);
    auto value = [&v](int k) -> double& { return v[static_cast<std::size_t>(k - 1)]; };
    for (std::size_t j = 0; j < f.equations.size() && j < 48; ++j)
        v[j] = f.equations[j];
    value(49) = f.dof_count ? *f.dof_count : static_cast<double>(f.equations.size());
    value(52) = f.node_count;
    for (int k = 0; k < 8; ++k)
        value(53 + k) = f.nodes[static_cast<std::size_t>(k)];
    for (int i = 0; i < 11; ++i)
        value(61 + i) = f.section[static_cast<std::size_t>(i)];
    value(72) = f.E;
    value(73) = f.nu;
    value(74) = f.material_type;
    for (int i = 0; i < 9; ++i)
        value(75 + i) = f.constants[static_cast<std::size_t>(i)];
    return v;
}

Record plth_record(const QuadPlateRecordFacts& f) { return doubles_record(plth_record_values(f)); }

void ResultSetBuilder::add_plth_records(const std::vector<QuadPlateRecordFacts>& plates, std::int32_t sub_id)
{
    std::vector<Record> records;
    for (const QuadPlateRecordFacts& f : plates)
        records.push_back(plth_record(f));
    add_family_records("PLTH", PLTH_RECORD_WORDS, std::move(records), sub_id);
}

void ResultSetBuilder::add_result_records(const std::string& key, std::int32_t sub_id, std::int32_t record_words,
                                          std::vector<Record> records)
{
    result_records_.push_back({key, sub_id, record_words, std::move(records)});
}

void ResultSetBuilder::assemble()
{
    assembled_ = true;
    elem_ = KeyedFileWriter(2);
    result_ = KeyedFileWriter(2);
    direct_files_.clear();
    // Series records hold a marker in their first two records, so that a reader taking the
    // wrong one of the three shows it.
    constexpr double OTHER_RECORD = -7.0;

    if (!histories_.empty()) {
        std::vector<Record> thif;
        std::vector<Record> thlg;
        bool any_thlg = false;
        for (int id = 1; id <= histories_.rbegin()->first; ++id) {
            const auto h = histories_.find(id);
            if (h == histories_.end()) {
                thif.push_back(ints_record({0, 0, 0, 0, 0}));
                thlg.push_back(ints_record({1}));
                continue;
            }
            const HistoryFacts& f = h->second;
            thif.push_back(ints_record({f.type, f.case_or_file, f.steps_per_mode, f.modes, 0}));
            thlg.push_back(ints_record({f.thlg.value_or(1)}));
            any_thlg = any_thlg || f.thlg.has_value();
        }
        elem_.add_data_set("THIF", 3, 5, std::move(thif));
        if (any_thlg)
            result_.add_data_set("THLG", 1, 1, std::move(thlg));
    }
    for (const auto& [id, list] : supports_) {
        std::vector<Record> mses;
        std::vector<Record> mser;
        std::size_t steps = 0;
        for (const Support& s : list)
            steps = std::max(steps, s.series.size());
        for (const Support& s : list) {
            mses.push_back(ints_record({s.node, s.direction}));
            std::vector<double> series = s.series;
            series.resize(steps, 0.0);
            mser.push_back(doubles_record(std::vector<double>(steps, OTHER_RECORD)));
            mser.push_back(doubles_record(std::vector<double>(steps, OTHER_RECORD)));
            mser.push_back(doubles_record(series));
        }
        elem_.add_data_set("MSES", id, 2, std::move(mses));
        elem_.add_data_set("MSER", id, static_cast<std::int32_t>(2 * std::max<std::size_t>(steps, 1)), std::move(mser));
    }
    if (!elements_.empty()) {
        std::vector<Record> elmt;
        for (int e = 1; e <= elements_.rbegin()->first; ++e) {
            const auto f = elements_.find(e);
            elmt.push_back(f == elements_.end() ? ints_record({0}) : ints_record(f->second));
        }
        elem_.add_data_set("ELMT", 3, element_words_, std::move(elmt));
    }
    if (!materials_.empty()) {
        std::vector<Record> matl;
        for (const auto& m : materials_)
            matl.push_back(doubles_record(m));
        elem_.add_data_set("MATL", 3, 26, std::move(matl));
    }
    if (!nodes_.empty() || !node_axes_.empty()) {
        int last = 0;
        if (!nodes_.empty())
            last = nodes_.rbegin()->first;
        if (!node_axes_.empty())
            last = std::max(last, node_axes_.rbegin()->first);
        std::vector<Record> cord;
        std::vector<Record> ndsp;
        for (int n = 1; n <= last; ++n) {
            const auto c = nodes_.find(n);
            const std::array<double, 3> xyz = c == nodes_.end() ? std::array<double, 3>{} : c->second;
            cord.push_back(doubles_record({xyz[0], xyz[1], xyz[2]}));
            std::array<std::array<double, 6>, 6> T{};
            for (int i = 0; i < 6; ++i)
                T[static_cast<std::size_t>(i)][static_cast<std::size_t>(i)] = 1.0;
            if (const auto a = node_axes_.find(n); a != node_axes_.end())
                T = a->second;
            std::vector<double> v(6, 0.0);
            for (std::size_t r = 0; r < 6; ++r)
                for (std::size_t col = r; col < 6; ++col)
                    v.push_back(T[r][col]);
            ndsp.push_back(doubles_record(v));
        }
        elem_.add_data_set("CORD", 3, 6, std::move(cord));
        elem_.add_data_set("NDSP", 3, 54, std::move(ndsp));
    }
    if (!modal_.empty()) {
        const Modal& shape = modal_.begin()->second;
        std::vector<Record> mdsp;
        for (int c = 1; c <= modal_.rbegin()->first; ++c) {
            const auto m = modal_.find(c);
            for (int k = 0; k < shape.modes * shape.steps; ++k) {
                const double q = m != modal_.end() && static_cast<std::size_t>(k) < m->second.q.size()
                                     ? m->second.q[static_cast<std::size_t>(k)]
                                     : 0.0;
                mdsp.push_back(doubles_record({q, OTHER_RECORD, OTHER_RECORD}));
            }
        }
        elem_.add_data_set("MDSP", 3, 6, std::move(mdsp));
    }
    if (!shapes_.empty()) {
        std::size_t modes = 1;
        for (const auto& [e, v] : shapes_)
            modes = std::max(modes, v.size());
        std::vector<Record> mshp;
        for (int e = 1; e <= shapes_.rbegin()->first; ++e) {
            const auto s = shapes_.find(e);
            std::vector<double> v = s == shapes_.end() ? std::vector<double>{} : s->second;
            v.resize(modes, 0.0);
            mshp.push_back(doubles_record(v));
        }
        elem_.add_data_set("MSHP", 3, static_cast<std::int32_t>(2 * modes), std::move(mshp));
    }
    for (const Extra& x : family_records_)
        elem_.add_data_set(x.key, x.sub_id, x.words, x.records);
    for (const Extra& x : result_records_)
        result_.add_data_set(x.key, x.sub_id, x.words, x.records);

    for (const auto& [set, series] : direct_) {
        std::size_t steps = 0;
        if (const auto s = direct_steps_.find(set); s != direct_steps_.end())
            steps = static_cast<std::size_t>(s->second);
        for (const auto& [e, v] : series)
            steps = std::max(steps, v.size());
        std::vector<Record> dmed;
        for (int e = 1; e <= (series.empty() ? 0 : series.rbegin()->first); ++e) {
            const auto s = series.find(e);
            std::vector<double> v = s == series.end() ? std::vector<double>{} : s->second;
            v.resize(steps, 0.0);
            dmed.push_back(doubles_record(std::vector<double>(steps, OTHER_RECORD)));
            dmed.push_back(doubles_record(std::vector<double>(steps, OTHER_RECORD)));
            dmed.push_back(doubles_record(v));
        }
        KeyedFileWriter w(2);
        w.add_data_set("DMED", 1, static_cast<std::int32_t>(2 * std::max<std::size_t>(steps, 1)), std::move(dmed));
        direct_files_[set] = std::move(w);
    }
}

std::string ResultSetBuilder::elem_file_name(const std::string& base) const
{
    return base + extensions_of(product_selector_).elem;
}

std::string ResultSetBuilder::result_file_name(const std::string& base) const
{
    return base + extensions_of(product_selector_).result;
}

std::string ResultSetBuilder::direct_file_name(const std::string& base, int set) const
{
    return base + extensions_of(product_selector_).direct + std::to_string(set);
}

bool ResultSetBuilder::write(const std::string& base)
{
    if (!assembled_)
        assemble();
    bool ok = elem_.write(elem_file_name(base)) && result_.write(result_file_name(base));
    for (const auto& [set, w] : direct_files_)
        ok = w.write(direct_file_name(base, set)) && ok;
    // The next write assembles afresh from the facts, without this write's switches.
    assembled_ = false;
    return ok;
}

} // namespace kvpvs::resultfiles
