#include "recovery/drivers/result_units.h"

#include <DFORRT/DirectUnits.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kvpvs::recovery {
namespace {

using dforrt::DirectUnits;

// Blocks of 64 KiB in 16 sets of 4 (4 MiB a file at most): the few streams of one refresh
// through a file (its directory, the element records, the node tables by layer, the
// displacement series) each keep a block, and a block is read once while they pass it.
constexpr int BLOCK_SHIFT = 16;
constexpr std::int64_t BLOCK_BYTES = std::int64_t{1} << BLOCK_SHIFT;
constexpr std::size_t SETS = 16;
constexpr std::size_t WAYS = 4;

// A file name as the run-time library takes it: without its trailing blanks.
std::string_view trimmed(const char* name, std::size_t length)
{
    std::string_view s(name, length);
    while (!s.empty() && s.back() == ' ')
        s.remove_suffix(1);
    return s;
}

bool read_exact(int fd, unsigned char* out, std::int64_t bytes, std::int64_t offset)
{
    std::int64_t got = 0;
    while (got < bytes) {
        const ssize_t r = ::pread(fd, out + got, static_cast<std::size_t>(bytes - got), offset + got);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        got += r;
    }
    return true;
}

class BlockFile {
public:
    BlockFile(std::string path, int fd, std::int64_t size) : path_(std::move(path)), fd_(fd), size_(size) {}
    ~BlockFile() { ::close(fd_); }
    BlockFile(const BlockFile&) = delete;
    BlockFile& operator=(const BlockFile&) = delete;

    const std::string& path() const { return path_; }
    std::int64_t size() const { return size_; }
    std::vector<DataSetLookup>& lookups() { return lookups_; }

    // The bytes [offset, offset + bytes) when they lie in the block read last, as most reads
    // do; nullptr otherwise.
    const unsigned char* in_last_block(std::int64_t offset, std::int64_t bytes) const
    {
        const std::int64_t within = offset - last_->start;
        return within >= 0 && within + bytes <= last_->length ? last_->bytes.get() + within : nullptr;
    }

    // Bytes [offset, offset + bytes) of the file; false when the file has become shorter.
    [[gnu::noinline]] bool read(std::int64_t offset, std::int64_t bytes, unsigned char* out)
    {
        while (bytes > 0) {
            const std::int64_t block = offset >> BLOCK_SHIFT;
            const std::int64_t within = offset - (block << BLOCK_SHIFT);
            const std::int64_t n = std::min(bytes, BLOCK_BYTES - within);
            const Slot* slot = slot_of(block);
            if (!slot || within + n > slot->length)
                return false;
            std::memcpy(out, slot->bytes.get() + within, static_cast<std::size_t>(n));
            out += n;
            offset += n;
            bytes -= n;
        }
        return true;
    }

private:
    struct Slot {
        std::int64_t block = -1;
        std::int64_t start = 0; // block << BLOCK_SHIFT
        std::int64_t length = 0;
        std::uint64_t used = 0;
        std::unique_ptr<unsigned char[]> bytes;
    };

    const Slot* slot_of(std::int64_t block)
    {
        // The last block read counts as used now: its reads above keep no time.
        last_->used = ++clock_;
        Slot* set = slots_.data() + WAYS * (static_cast<std::size_t>(block) % SETS);
        Slot* oldest = set;
        for (std::size_t w = 0; w < WAYS; ++w) {
            if (set[w].block == block) {
                set[w].used = ++clock_;
                last_ = &set[w];
                return last_;
            }
            if (set[w].used < oldest->used)
                oldest = &set[w];
        }
        if (!oldest->bytes)
            oldest->bytes = std::make_unique_for_overwrite<unsigned char[]>(static_cast<std::size_t>(BLOCK_BYTES));
        const std::int64_t start = block << BLOCK_SHIFT;
        const std::int64_t length = std::min(BLOCK_BYTES, size_ - start);
        oldest->block = -1;
        oldest->length = 0;
        if (length <= 0 || !read_exact(fd_, oldest->bytes.get(), length, start))
            return nullptr;
        oldest->block = block;
        oldest->start = start;
        oldest->length = length;
        oldest->used = ++clock_;
        last_ = oldest;
        return last_;
    }

    std::string path_;
    int fd_;
    std::int64_t size_;
    std::vector<DataSetLookup> lookups_;
    std::array<Slot, SETS * WAYS> slots_;
    Slot* last_ = slots_.data();
    std::uint64_t clock_ = 0;
};

// A unit opened during the session: the session's file it reads and its record length, both
// in step with the run-time unit.
struct BoundUnit {
    BlockFile* file = nullptr;
    std::int64_t record_bytes = 0;
    std::int64_t whole_records = 0; // file size / record length, a division each read would repeat
    bool touched = false;            // opened during the session: its end closes the unit

    void set_record_bytes(std::int64_t bytes)
    {
        record_bytes = bytes;
        whole_records = file && bytes > 0 ? file->size() / bytes : 0;
    }
};

struct Session {
    int depth = 0;
    std::vector<std::unique_ptr<BlockFile>> files;
    std::array<BoundUnit, dforrt::MAX_UNIT + 1> units;
};

Session& session()
{
    static Session s;
    return s;
}

bool valid_unit(int unit) { return unit >= 0 && unit <= dforrt::MAX_UNIT; }

// The session's bound unit, or nullptr: outside a session, or a unit whose reads go to the
// run-time library (opened before the session, or its file not kept).
BoundUnit* bound(int unit)
{
    Session& s = session();
    if (s.depth == 0 || !valid_unit(unit))
        return nullptr;
    BoundUnit& b = s.units[static_cast<std::size_t>(unit)];
    return b.file ? &b : nullptr;
}

BlockFile* session_file(std::string_view path, std::int64_t unit_size)
{
    Session& s = session();
    for (const auto& f : s.files)
        if (f->path() == path)
            return f->size() == unit_size ? f.get() : nullptr;
    const std::string name(path);
    const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    // Another file than the unit's (replaced between the two openings): the unit reads it.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || static_cast<std::int64_t>(st.st_size) != unit_size) {
        ::close(fd);
        return nullptr;
    }
    std::unique_ptr<BlockFile> file;
    try {
        file = std::make_unique<BlockFile>(name, fd, unit_size);
    } catch (...) {
        ::close(fd);
        throw;
    }
    s.files.push_back(std::move(file));
    return s.files.back().get();
}

// Bytes [skip, bytes) of record `record`, whose first `bytes` bytes are checked with the
// run-time library's checks and statuses in its order.
inline int read_record(BoundUnit& u, std::int64_t record, std::int64_t bytes, unsigned char* out, std::int64_t skip = 0)
{
    if (record < 1)
        return dforrt::IO_BAD_RECORD;
    if (bytes <= 0)
        return dforrt::IO_OK;
    if (bytes > u.record_bytes)
        return dforrt::IO_PAST_RECORD;
    const std::int64_t size = u.file->size();
    if (record - 1 > u.whole_records)
        return dforrt::IO_PAST_END;
    const std::int64_t record_offset = (record - 1) * u.record_bytes;
    if (record_offset > size || bytes > size - record_offset)
        return dforrt::IO_PAST_END;
    const std::int64_t offset = record_offset + skip;
    const std::int64_t n = bytes - skip;
    if (const unsigned char* p = u.file->in_last_block(offset, n)) {
        std::memcpy(out, p, static_cast<std::size_t>(n));
        return dforrt::IO_OK;
    }
    return u.file->read(offset, n, out) ? dforrt::IO_OK : dforrt::IO_PAST_END;
}

template <class T>
int read_values(BoundUnit& u, std::int64_t record, T* out, std::int64_t count)
{
    if (count <= 0)
        return record < 1 ? dforrt::IO_BAD_RECORD : dforrt::IO_OK;
    if (count > u.record_bytes / static_cast<std::int64_t>(sizeof(T)))
        return dforrt::IO_PAST_RECORD;
    const int status = read_record(u, record, count * static_cast<std::int64_t>(sizeof(T)),
                                   reinterpret_cast<unsigned char*>(out));
    if (status != dforrt::IO_OK)
        return status;
    if constexpr (sizeof(T) > 1 && std::endian::native == std::endian::big) {
        for (std::int64_t i = 0; i < count; ++i) {
            unsigned char* p = reinterpret_cast<unsigned char*>(out + i);
            std::reverse(p, p + sizeof(T));
        }
    }
    return dforrt::IO_OK;
}

} // namespace

int ResultUnits::Open(int unit, const char* name, std::size_t name_length, std::int64_t record_bytes)
{
    Session& s = session();
    const int status = DirectUnits::Open(unit, name, name_length, record_bytes);
    if (s.depth == 0 || !valid_unit(unit))
        return status;
    BoundUnit& b = s.units[static_cast<std::size_t>(unit)];
    b.file = nullptr;
    b.touched = true;
    if (status == dforrt::IO_OK) {
        b.file = session_file(trimmed(name, name_length), DirectUnits::FileBytes(unit));
        b.set_record_bytes(record_bytes);
    }
    return status;
}

int ResultUnits::SetRecordLength(int unit, std::int64_t record_bytes)
{
    BoundUnit* b = bound(unit);
    // The same length again leaves the unit as it is.
    if (b && record_bytes > 0 && record_bytes == b->record_bytes)
        return dforrt::IO_OK;
    const int status = DirectUnits::SetRecordLength(unit, record_bytes);
    if (b) {
        if (status != dforrt::IO_OK)
            b->file = nullptr;
        b->set_record_bytes(record_bytes);
    }
    return status;
}

int ResultUnits::Close(int unit)
{
    if (BoundUnit* b = bound(unit))
        b->file = nullptr;
    return DirectUnits::Close(unit);
}

std::int64_t ResultUnits::RecordBytes(int unit)
{
    const BoundUnit* b = bound(unit);
    return b ? b->record_bytes : DirectUnits::RecordBytes(unit);
}

std::int64_t ResultUnits::FileBytes(int unit)
{
    const BoundUnit* b = bound(unit);
    return b ? b->file->size() : DirectUnits::FileBytes(unit);
}

bool ResultUnits::Holds(int unit, const char* name, std::size_t name_length)
{
    const BoundUnit* b = bound(unit);
    return b && name && b->file->path() == trimmed(name, name_length);
}

int ResultUnits::ReadInts(int unit, std::int64_t record, std::int32_t* out, std::int64_t count)
{
    BoundUnit* b = bound(unit);
    return b ? read_values(*b, record, out, count) : DirectUnits::ReadInts(unit, record, out, count);
}

int ResultUnits::ReadDoubles(int unit, std::int64_t record, double* out, std::int64_t count)
{
    BoundUnit* b = bound(unit);
    return b ? read_values(*b, record, out, count) : DirectUnits::ReadDoubles(unit, record, out, count);
}

int ResultUnits::ReadBytes(int unit, std::int64_t record, char* out, std::int64_t count)
{
    BoundUnit* b = bound(unit);
    return b ? read_values(*b, record, out, count) : DirectUnits::ReadBytes(unit, record, out, count);
}

int ResultUnits::ReadDoubleAt(int unit, std::int64_t record, std::int64_t position, double& out)
{
    BoundUnit* b = bound(unit);
    if (!b)
        return DirectUnits::ReadDoubleAt(unit, record, position, out);
    if (position < 1)
        return record < 1 ? dforrt::IO_BAD_RECORD : dforrt::IO_OK;
    if (position > b->record_bytes / 8)
        return dforrt::IO_PAST_RECORD;
    unsigned char bytes[8];
    const int status = read_record(*b, record, position * 8, bytes, (position - 1) * 8);
    if (status == dforrt::IO_OK) {
        if constexpr (std::endian::native == std::endian::big)
            std::reverse(bytes, bytes + 8);
        std::memcpy(&out, bytes, 8);
    }
    return status;
}

int ResultUnits::ReadFirstDoubles(int unit, std::int64_t first_record, std::int64_t records, std::int64_t count,
                                  double* out, std::int64_t& delivered)
{
    // Runs of records serve the history build, which reads them in large reads already.
    return DirectUnits::ReadFirstDoubles(unit, first_record, records, count, out, delivered);
}

std::vector<DataSetLookup>* ResultUnits::Lookups(int unit)
{
    BoundUnit* b = bound(unit);
    return b ? &b->file->lookups() : nullptr;
}

ResultFileSession::ResultFileSession() { ++session().depth; }

ResultFileSession::~ResultFileSession()
{
    Session& s = session();
    if (--s.depth > 0)
        return;
    for (std::size_t unit = 0; unit < s.units.size(); ++unit) {
        if (s.units[unit].touched)
            DirectUnits::Close(static_cast<int>(unit));
        s.units[unit] = BoundUnit{};
    }
    s.files.clear();
}

bool ResultFileSession::Active() { return session().depth > 0; }

} // namespace kvpvs::recovery
