#include "DFORRT/DirectUnits.h"

#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dforrt {
namespace {

struct Unit {
    bool open = false;
    const unsigned char* data = nullptr; // mapped or copied file bytes
    std::int64_t size = 0;
    std::int64_t record_bytes = 0;
    void* mapping = nullptr;             // non-null when data is an mmap
    std::vector<unsigned char> copy;     // used when mapping is not possible
};

std::array<Unit, MAX_UNIT + 1>& units()
{
    static std::array<Unit, MAX_UNIT + 1> table;
    return table;
}

bool valid_unit(int unit) { return unit >= 0 && unit <= MAX_UNIT; }

void release(Unit& u)
{
    if (u.mapping)
        ::munmap(u.mapping, static_cast<std::size_t>(u.size));
    u = Unit{};
}

template <class T>
int read_values(int unit, std::int64_t record, T* out, std::int64_t count)
{
    static_assert(sizeof(T) == 4 || sizeof(T) == 8);
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    const Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (record < 1)
        return IO_BAD_RECORD;
    if (count <= 0)
        return IO_OK;
    // Guard the products against overflow: a record length is at most the file size.
    const std::int64_t limit = u.record_bytes / static_cast<std::int64_t>(sizeof(T));
    if (count > limit)
        return IO_PAST_RECORD;
    const std::int64_t bytes = count * static_cast<std::int64_t>(sizeof(T));
    if (record - 1 > (u.size) / u.record_bytes)
        return IO_PAST_END;
    const std::int64_t offset = (record - 1) * u.record_bytes;
    if (offset > u.size || bytes > u.size - offset)
        return IO_PAST_END;
    std::memcpy(out, u.data + offset, static_cast<std::size_t>(bytes));
    if constexpr (std::endian::native == std::endian::big) {
        for (std::int64_t i = 0; i < count; ++i) {
            unsigned char* p = reinterpret_cast<unsigned char*>(out + i);
            for (std::size_t a = 0, b = sizeof(T) - 1; a < b; ++a, --b)
                std::swap(p[a], p[b]);
        }
    }
    return IO_OK;
}

} // namespace

int DirectUnits::Open(int unit, const char* name, std::size_t name_length, std::int64_t record_bytes)
{
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    Unit& u = units()[static_cast<std::size_t>(unit)];
    release(u);
    if (!name || name_length == 0 || record_bytes <= 0)
        return IO_OPEN_FAILED;
    std::string path(name, name_length);
    // A Fortran file name ends at its trailing blanks.
    while (!path.empty() && path.back() == ' ')
        path.pop_back();
    if (path.empty() || path.find('\0') != std::string::npos)
        return IO_OPEN_FAILED;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return IO_OPEN_FAILED;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return IO_OPEN_FAILED;
    }
    Unit fresh;
    fresh.open = true;
    fresh.size = static_cast<std::int64_t>(st.st_size);
    fresh.record_bytes = record_bytes;
    if (fresh.size > 0) {
        void* m = ::mmap(nullptr, static_cast<std::size_t>(fresh.size), PROT_READ, MAP_PRIVATE, fd, 0);
        if (m != MAP_FAILED) {
            fresh.mapping = m;
            fresh.data = static_cast<const unsigned char*>(m);
        } else {
            fresh.copy.resize(static_cast<std::size_t>(fresh.size));
            std::int64_t got = 0;
            while (got < fresh.size) {
                const ssize_t r = ::pread(fd, fresh.copy.data() + got, static_cast<std::size_t>(fresh.size - got), got);
                if (r <= 0)
                    break;
                got += r;
            }
            fresh.size = got;
            fresh.data = fresh.copy.data();
        }
    }
    ::close(fd);
    u = std::move(fresh);
    return IO_OK;
}

int DirectUnits::Close(int unit)
{
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    release(units()[static_cast<std::size_t>(unit)]);
    return IO_OK;
}

bool DirectUnits::IsOpen(int unit) { return valid_unit(unit) && units()[static_cast<std::size_t>(unit)].open; }

std::int64_t DirectUnits::RecordBytes(int unit)
{
    return IsOpen(unit) ? units()[static_cast<std::size_t>(unit)].record_bytes : 0;
}

std::int64_t DirectUnits::FileBytes(int unit)
{
    return IsOpen(unit) ? units()[static_cast<std::size_t>(unit)].size : 0;
}

int DirectUnits::ReadInts(int unit, std::int64_t record, std::int32_t* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadReals(int unit, std::int64_t record, float* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadDoubles(int unit, std::int64_t record, double* out, std::int64_t count)
{
    return read_values(unit, record, out, count);
}

int DirectUnits::ReadBytes(int unit, std::int64_t record, char* out, std::int64_t count)
{
    if (!valid_unit(unit))
        return IO_BAD_UNIT;
    const Unit& u = units()[static_cast<std::size_t>(unit)];
    if (!u.open)
        return IO_NOT_OPEN;
    if (record < 1)
        return IO_BAD_RECORD;
    if (count <= 0)
        return IO_OK;
    if (count > u.record_bytes)
        return IO_PAST_RECORD;
    if (record - 1 > u.size / u.record_bytes)
        return IO_PAST_END;
    const std::int64_t offset = (record - 1) * u.record_bytes;
    if (offset > u.size || count > u.size - offset)
        return IO_PAST_END;
    std::memcpy(out, u.data + offset, static_cast<std::size_t>(count));
    return IO_OK;
}

} // namespace dforrt
