#include "afxfile.h"

#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

struct TextCookie {
    FILE* pRaw = nullptr;
    bool bPendingCR = false; // read side: a '\r' held back until the next byte is known
};

ssize_t TextWrite(void* cookie, const char* buf, size_t size)
{
    auto* c = static_cast<TextCookie*>(cookie);
    std::string out;
    out.reserve(size + size / 8);
    for (size_t i = 0; i < size; ++i) {
        if (buf[i] == '\n')
            out += '\r';
        out += buf[i];
    }
    if (!out.empty() && std::fwrite(out.data(), 1, out.size(), c->pRaw) != out.size())
        return -1;
    return static_cast<ssize_t>(size);
}

ssize_t TextRead(void* cookie, char* buf, size_t size)
{
    auto* c = static_cast<TextCookie*>(cookie);
    size_t n = 0;
    while (n < size) {
        int ch = std::fgetc(c->pRaw);
        if (c->bPendingCR) {
            c->bPendingCR = false;
            if (ch == '\n') {
                buf[n++] = '\n';
                continue;
            }
            buf[n++] = '\r';
            if (n == size) {
                if (ch != EOF)
                    std::ungetc(ch, c->pRaw);
                break;
            }
        }
        if (ch == EOF) {
            // A read error of the file is the stream's error, not its end.
            if (n == 0 && std::ferror(c->pRaw))
                return -1;
            break;
        }
        if (ch == '\r') {
            c->bPendingCR = true;
            continue;
        }
        buf[n++] = static_cast<char>(ch);
    }
    return static_cast<ssize_t>(n);
}

int TextClose(void* cookie)
{
    auto* c = static_cast<TextCookie*>(cookie);
    int r = std::fclose(c->pRaw);
    delete c;
    return r;
}

// fopen with the run-time's mode letters, for a regular file only (for writing also a file
// that does not exist yet): a named pipe or a device at the path is refused without waiting
// for its other end, and nothing is truncated before the check.
FILE* OpenRegularFile(const char* pszPath, const std::string& mode)
{
    if (mode.empty())
        return nullptr;
    const bool bPlus = mode.find('+') != std::string::npos;
    int flags = O_CLOEXEC | O_NONBLOCK;
    switch (mode[0]) {
    case 'r': flags |= bPlus ? O_RDWR : O_RDONLY; break;
    case 'w': flags |= (bPlus ? O_RDWR : O_WRONLY) | O_CREAT; break;
    case 'a': flags |= (bPlus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
    default: errno = EINVAL; return nullptr;
    }
    if (mode.find('x') != std::string::npos)
        flags |= O_EXCL;
    const int fd = ::open(pszPath, flags, 0666);
    if (fd < 0)
        return nullptr;
    struct stat st {};
    const int fileFlags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || fileFlags < 0
        || ::fcntl(fd, F_SETFL, fileFlags & ~O_NONBLOCK) != 0 || (mode[0] == 'w' && ::ftruncate(fd, 0) != 0)) {
        ::close(fd);
        errno = EINVAL;
        return nullptr;
    }
    std::string fdMode(1, mode[0]);
    if (bPlus)
        fdMode += '+';
    FILE* f = ::fdopen(fd, fdMode.c_str());
    if (!f)
        ::close(fd);
    return f;
}

} // namespace

FILE* AfxTextFOpen(const char* pszPath, const char* pszMode)
{
    if (!pszPath || !pszMode)
        return nullptr;
    std::string raw;
    bool bBinary = false;
    for (const char* p = pszMode; *p; ++p) {
        if (*p == 't')
            continue;
        if (*p == 'b')
            bBinary = true;
        raw += *p;
    }
    if (bBinary)
        return OpenRegularFile(pszPath, raw);
    raw += 'b';
    FILE* pRaw = OpenRegularFile(pszPath, raw);
    if (!pRaw)
        return nullptr;
    auto* c = new TextCookie{pRaw};
    cookie_io_functions_t io{};
    io.read = TextRead;
    io.write = TextWrite;
    io.close = TextClose;
    // The translating stream has no position of its own; appending is done by the raw stream.
    std::string cookieMode = pszMode[0] == 'a' ? "a" : raw.substr(0, raw.size() - 1);
    FILE* f = fopencookie(c, cookieMode.c_str(), io);
    if (!f) {
        std::fclose(pRaw);
        delete c;
    }
    return f;
}

BOOL CStdioFile::Open(const char* pszFileName, UINT nOpenFlags)
{
    Close();
    const bool bText = !(nOpenFlags & typeBinary);
    std::string mode;
    if (nOpenFlags & (modeWrite | modeReadWrite)) {
        if ((nOpenFlags & modeCreate) && !(nOpenFlags & modeNoTruncate))
            mode = (nOpenFlags & modeReadWrite) ? "w+" : "w";
        else
            mode = (nOpenFlags & modeReadWrite) ? "r+" : "a";
    } else {
        mode = "r";
    }
    mode += bText ? "t" : "b";
    m_pStream = AfxTextFOpen(pszFileName, mode.c_str());
    return m_pStream != nullptr;
}

void CStdioFile::Close()
{
    if (m_pStream)
        std::fclose(m_pStream);
    m_pStream = nullptr;
}

void CStdioFile::WriteString(const char* psz)
{
    if (m_pStream && psz)
        std::fputs(psz, m_pStream);
}

BOOL CStdioFile::ReadString(CString& rString)
{
    rString.Empty();
    if (!m_pStream)
        return FALSE;
    std::string s;
    int ch;
    bool bAny = false;
    while ((ch = std::fgetc(m_pStream)) != EOF) {
        bAny = true;
        if (ch == '\n')
            break;
        s += static_cast<char>(ch);
    }
    rString = s.c_str();
    return bAny;
}

void CStdioFile::SeekToEnd()
{
    if (m_pStream)
        std::fseek(m_pStream, 0, SEEK_END);
}
