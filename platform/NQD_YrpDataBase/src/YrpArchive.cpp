#include "YrpArchive.h"

#include "HexDouble.h"

#include <charconv>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>

namespace {

const char kMagic[] = "NQD_YRPDATA";

// Writes or reads one token per field: numbers exactly (doubles as hexadecimal floats), texts
// as "<length>:<bytes>", byte blocks in hexadecimal, arrays as their count and elements.
// The writer gathers the tokens in a block of its own and hands the stream whole blocks.
class Out {
public:
    explicit Out(std::ostream& o) : m_o(o) {}
    static constexpr bool kReading = false;
    void Num(int& n) { Int(n, ' '); }
    void Num(short& n) { Int(n, ' '); }
    void Num(uint32_t& n) { Int(n, ' '); }
    void Num(double& d)
    {
        char* p = Room(YrpArchive::kHexDoubleMax + 1);
        p += YrpArchive::WriteHexDouble(d, p);
        *p++ = ' ';
        m_n = static_cast<size_t>(p - m_a);
    }
    void Str(CString& s)
    {
        Int(s.GetLength(), ':');
        Text(s.str().data(), s.str().size());
        Text(" ", 1);
    }
    void Bytes(unsigned char* p, size_t n)
    {
        static const char hex[] = "0123456789abcdef";
        for (size_t i = 0; i < n; ++i) {
            char* q = Room(2);
            q[0] = hex[p[i] >> 4];
            q[1] = hex[p[i] & 15];
            m_n += 2;
        }
        Text(" ", 1);
    }
    int Count(int n)
    {
        Int(n, '\n');
        return n;
    }
    // Hands the stream what is gathered; the stream's state says whether all went out.
    bool Flush()
    {
        m_o.write(m_a, static_cast<std::streamsize>(m_n));
        m_n = 0;
        return Ok();
    }
    bool Ok() const { return static_cast<bool>(m_o); }

private:
    // Room for k characters at the end of the block, flushing it first when they do not fit.
    char* Room(size_t k)
    {
        if (m_n + k > sizeof m_a)
            Flush();
        return m_a + m_n;
    }
    template <class N>
    void Int(N n, char cAfter)
    {
        char* p = Room(16);
        p = std::to_chars(p, p + 15, n).ptr;
        *p++ = cAfter;
        m_n = static_cast<size_t>(p - m_a);
    }
    void Text(const char* p, size_t n)
    {
        if (n > sizeof m_a / 2) {
            Flush();
            m_o.write(p, static_cast<std::streamsize>(n));
            return;
        }
        std::memcpy(Room(n), p, n);
        m_n += n;
    }

    std::ostream& m_o;
    char m_a[1 << 16];
    size_t m_n = 0;
};

class In {
public:
    explicit In(std::istream& i) : m_i(i) {}
    static constexpr bool kReading = true;
    void Num(int& n) { m_ok = m_ok && static_cast<bool>(m_i >> n); }
    void Num(short& n) { m_ok = m_ok && static_cast<bool>(m_i >> n); }
    void Num(uint32_t& n) { m_ok = m_ok && static_cast<bool>(m_i >> n); }
    void Num(double& d)
    {
        std::string t;
        if (!m_ok || !(m_i >> t)) {
            m_ok = false;
            return;
        }
        char* end = nullptr;
        d = std::strtod(t.c_str(), &end);
        m_ok = end && *end == '\0';
    }
    void Str(CString& s)
    {
        long n = -1;
        char c = 0;
        if (!m_ok || !(m_i >> n) || n < 0 || n > (1 << 24) || !m_i.get(c) || c != ':') {
            m_ok = false;
            return;
        }
        std::string v(static_cast<size_t>(n), '\0');
        m_ok = static_cast<bool>(m_i.read(v.data(), n));
        s = CString(v);
    }
    void Bytes(unsigned char* p, size_t n)
    {
        std::string h;
        if (!m_ok || !(m_i >> h) || h.size() != 2 * n) {
            m_ok = false;
            return;
        }
        for (size_t i = 0; i < n; ++i) {
            auto v = [](char c) { return c >= 'a' ? c - 'a' + 10 : c - '0'; };
            p[i] = static_cast<unsigned char>(v(h[2 * i]) * 16 + v(h[2 * i + 1]));
        }
    }
    int Count(int)
    {
        int n = -1;
        m_ok = m_ok && static_cast<bool>(m_i >> n) && n >= 0 && n <= (1 << 24);
        return m_ok ? n : 0;
    }
    bool Ok() const { return m_ok; }

private:
    std::istream& m_i;
    bool m_ok = true;
};

template <class A, size_t N>
void Nums(A& a, double (&d)[N])
{
    for (double& x : d)
        a.Num(x);
}
template <class A, size_t N>
void Nums(A& a, int (&d)[N])
{
    for (int& x : d)
        a.Num(x);
}
template <class A, size_t N>
void Nums(A& a, uint32_t (&d)[N])
{
    for (uint32_t& x : d)
        a.Num(x);
}

template <class A, class T, class ARG, class F>
void Arr(A& a, CArray<T, ARG>& arr, F io)
{
    const int n = a.Count(arr.GetSize());
    if (A::kReading)
        arr.SetSize(n);
    for (int i = 0; i < n && a.Ok(); ++i)
        io(a, arr[i]);
}

template <class A>
void Io(A& a, T_YRP_MATL_BLOCK_D& r)
{
    a.Num(r.nFlag0), a.Num(r.nFlag4), a.Num(r.nFlag8), a.Num(r.dValue16), a.Num(r.dValue24), a.Num(r.nFlag32);
    a.Num(r.dValue40), a.Num(r.dValue48), a.Num(r.nFlag56), a.Num(r.nValue60), a.Num(r.nValue64), a.Num(r.dRatio72);
}

template <class A>
void Io(A& a, T_UCOP_D& r)
{
    a.Str(r.strDesignCode), a.Str(r.strText4);
    for (auto& m : r.matl)
        Io(a, m);
    for (auto& s : r.extra.strText)
        a.Str(s);
    Io(a, r.extra.matl);
    Nums(a, r.extra.nValue), Nums(a, r.extra.dValue), a.Num(r.extra.nValue176);
    a.Str(r.strText432), Nums(a, r.nValue436);
}

template <class A>
void Io(A& a, T_YRP_MEMB_COMMON_D& r)
{
    a.Str(r.strText);
    for (short& s : r.nSmall)
        a.Num(s);
    a.Num(r.nValue52), a.Bytes(r.data, sizeof r.data), Nums(a, r.nValue568);
}

template <class A>
void Io(A& a, T_YRP_GSEC_POLYGON& r)
{
    Arr(a, r.aVertex, [](A& b, T_YRP_GSEC_VERTEX& v) { b.Num(v.x), b.Num(v.y); });
}

template <class A>
void Io(A& a, T_YRP_SECT_D& r)
{
    a.Str(r.strName), Nums(a, r.dDim), Nums(a, r.dProp);
    Io(a, r.outer);
    Arr(a, r.aInner, [](A& b, T_YRP_GSEC_POLYGON& p) { Io(b, p); });
    Nums(a, r.dValue168), Nums(a, r.dProp184);
}

template <class A>
void Io(A& a, T_YRP_UNITLCOM& r)
{
    a.Num(r.nType), a.Num(r.nSubType), a.Str(r.strName), a.Str(r.strDesc), Nums(a, r.dForce);
}

template <class A>
void Io(A& a, T_URWA_UNITLCOM& r)
{
    Nums(a, r.nType), a.Str(r.strName), a.Str(r.strDesc), Nums(a, r.dForce), Nums(a, r.dDesignForce);
    a.Num(r.dValue120), Nums(a, r.nWord), a.Num(r.dFactor), Nums(a, r.dValue152), Nums(a, r.dValue192);
    a.Num(r.nValue280), Nums(a, r.dValue288), Nums(a, r.dValue344), Nums(a, r.dValue360);
}

template <class A>
void Io(A& a, T_URBE_D& r)
{
    a.Num(r.nKey), a.Str(r.strName), a.Num(r.nValue8);
    Io(a, r.common);
    Nums(a, r.matl.dValue);
    Io(a, r.sect);
    T_URBE_RBAR_D& b = r.rbar;
    a.Num(b.nType), Nums(a, b.dCover);
    for (auto& g : b.dBar)
        for (auto& row : g)
            Nums(a, row);
    for (auto& row : b.strBar)
        for (CString& s : row)
            a.Str(s);
    Nums(a, b.dValue344), a.Str(b.strText360), a.Num(b.nValue364), Nums(a, b.dLength), Nums(a, b.dValue384);
    a.Str(b.strText400), a.Num(b.nValue404);
    T_URBE_LOAD_D& l = r.load;
    a.Num(l.nType);
    Arr(a, l.aLcom, [](A& c, T_YRP_UNITLCOM& x) { Io(c, x); });
    Arr(a, l.aServLcom, [](A& c, T_YRP_UNITLCOM& x) { Io(c, x); });
    for (int i = 0; i < 3; ++i)
        a.Str(l.strText44[i]), a.Str(l.strText80[i]), a.Str(l.strText124[i]);
    Nums(a, l.nValue56), Nums(a, l.nValue92), a.Num(l.nFlag120), Nums(a, l.nValue136);
    Nums(a, r.nValue1448), a.Num(r.nValue1480), a.Num(r.nValue1484);
}

template <class A>
void Io(A& a, T_URWA_D& r)
{
    a.Str(r.strName), a.Num(r.nValue4);
    Io(a, r.common);
    a.Num(r.nValue588);
    Nums(a, r.matl.dValue);
    Io(a, r.sect);
    T_URWA_RBAR_D& b = r.rbar;
    a.Num(b.nType);
    for (auto& g : b.dBar)
        for (auto& row : g)
            Nums(a, row);
    for (auto& row : b.strBar)
        for (CString& s : row)
            a.Str(s);
    Nums(a, b.nValue328), a.Str(b.strText344), Nums(a, b.dCover);
    T_URWA_LOAD_D& l = r.load;
    Nums(a, l.nWord), Nums(a, l.dValue32), Nums(a, l.nWord80);
    Arr(a, l.aLcom, [](A& c, T_URWA_UNITLCOM& x) { Io(c, x); });
    Arr(a, l.aServLcom, [](A& c, T_YRP_UNITLCOM& x) { Io(c, x); });
    T_URWA_TAIL_D& t = r.tail;
    a.Num(t.nValue0), a.Num(t.dValue8), a.Num(t.nValue16), a.Num(t.nValue20), a.Num(t.nValue24);
    a.Num(t.dValue32), a.Num(t.nValue40);
}

template <class A>
void Io(A& a, T_URCO_D& r)
{
    a.Str(r.strName), a.Num(r.nValue4), Io(a, r.common), a.Num(r.nValue588);
    a.Bytes(r.block592, sizeof r.block592), a.Bytes(r.block880, sizeof r.block880);
    a.Bytes(r.load1168, sizeof r.load1168), a.Bytes(r.tail, sizeof r.tail);
}

template <class A>
void Io(A& a, T_UFDN_D& r)
{
    a.Str(r.strName), a.Bytes(r.block8, sizeof r.block8), a.Bytes(r.block224, sizeof r.block224);
    a.Bytes(r.block736, sizeof r.block736), a.Bytes(r.block808, sizeof r.block808);
    a.Bytes(r.block856, sizeof r.block856), a.Bytes(r.block2392, sizeof r.block2392);
    a.Bytes(r.block2456, sizeof r.block2456);
}

template <class A>
void Io(A& a, T_USTL_D& r)
{
    a.Str(r.strName), Io(a, r.common), a.Bytes(r.block592, sizeof r.block592);
    a.Bytes(r.block712, sizeof r.block712), a.Bytes(r.block1104, sizeof r.block1104);
}

// The keys of a family, then its records, as Io(T_YRP_DATA_D) reads them.
template <class T>
void WriteFamily(Out& a, const std::map<UINT, T>& m)
{
    a.Count(static_cast<int>(m.size()));
    for (const auto& kv : m) {
        uint32_t k = kv.first;
        a.Num(k);
    }
    a.Count(static_cast<int>(m.size()));
    // The writer only reads the record.
    for (const auto& kv : m)
        Io(a, const_cast<T&>(kv.second));
}

template <class A>
void Io(A& a, T_YRP_DATA_D& d)
{
    Nums(a, d.nHeader);
    Io(a, d.ucop);
    auto keys = [](A& b, UINT& k) {
        uint32_t v = k;
        b.Num(v);
        k = v;
    };
    Arr(a, d.aUrcoK, keys), Arr(a, d.aUrco, [](A& b, T_URCO_D& r) { Io(b, r); });
    Arr(a, d.aUrbeK, keys), Arr(a, d.aUrbe, [](A& b, T_URBE_D& r) { Io(b, r); });
    Arr(a, d.aUrwaK, keys), Arr(a, d.aUrwa, [](A& b, T_URWA_D& r) { Io(b, r); });
    Arr(a, d.aUfdnK, keys), Arr(a, d.aUfdn, [](A& b, T_UFDN_D& r) { Io(b, r); });
    Arr(a, d.aUstlK, keys), Arr(a, d.aUstl, [](A& b, T_USTL_D& r) { Io(b, r); });
}

} // namespace

namespace YrpArchive {

bool Write(const std::string& strPath, const Stores& s)
{
    std::ofstream o(strPath, std::ios::binary | std::ios::trunc);
    if (!o)
        return false;
    o << kMagic << ' ' << kVersion << '\n';
    // The big block stays off the stack.
    auto a = std::make_unique<Out>(o);
    int aHeader[10] = {kVersion, s.unit.nLength, s.unit.nForce, s.bUcop ? 1 : 0};
    Nums(*a, aHeader);
    // Without common options the file holds cleared ones.
    T_UCOP_D ucop;
    if (s.bUcop)
        ucop = s.ucop;
    Io(*a, ucop);
    WriteFamily(*a, s.urco), WriteFamily(*a, s.urbe), WriteFamily(*a, s.urwa), WriteFamily(*a, s.ufdn);
    WriteFamily(*a, s.ustl);
    if (!a->Flush())
        return false;
    o << "\nEND\n";
    o.flush();
    return static_cast<bool>(o);
}

bool Read(const std::string& strPath, T_YRP_DATA_D& data)
{
    data.Initialize();
    std::ifstream i(strPath, std::ios::binary);
    std::string strMagic, strEnd;
    int nVersion = 0;
    if (!i || !(i >> strMagic >> nVersion) || strMagic != kMagic || nVersion < 1 || nVersion > kVersion)
        return false;
    In a(i);
    T_YRP_DATA_D d;
    Io(a, d);
    // Every family's keys and records must pair up, and the file must end where it says.
    if (!a.Ok() || !(i >> strEnd) || strEnd != "END" || d.aUrcoK.GetSize() != d.aUrco.GetSize() ||
        d.aUrbeK.GetSize() != d.aUrbe.GetSize() || d.aUrwaK.GetSize() != d.aUrwa.GetSize() ||
        d.aUfdnK.GetSize() != d.aUfdn.GetSize() || d.aUstlK.GetSize() != d.aUstl.GetSize())
        return false;
    data = d;
    return true;
}

} // namespace YrpArchive

namespace YrpUnits {

namespace {
// Millimetres per unit (mm, cm, m, in, ft) and newtons per unit (kgf, tonf, N, kN, lbf, kips).
const double kMillimetres[5] = {1.0, 10.0, 1000.0, 25.4, 304.8};
const double kNewtons[6] = {9.80665, 9806.65, 1.0, 1000.0, 4.4482216152605, 4448.2216152605};

template <size_t N>
void Scale(double (&d)[N], double f)
{
    for (double& x : d)
        x *= f;
}
} // namespace

bool Make(const T_YRP_UNIT_INDEX_PAIR& from, const T_YRP_UNIT_INDEX_PAIR& to, Factors& f)
{
    if (from.nLength < 0 || from.nLength > 4 || to.nLength < 0 || to.nLength > 4 || from.nForce < 0 ||
        from.nForce > 5 || to.nForce < 0 || to.nForce > 5)
        return false;
    f.dLength = kMillimetres[from.nLength] / kMillimetres[to.nLength];
    f.dForce = kNewtons[from.nForce] / kNewtons[to.nForce];
    return true;
}

void Convert(T_UCOP_D& r, const Factors& f)
{
    const double s = f.Stress();
    for (T_YRP_MATL_BLOCK_D* m : {&r.matl[0], &r.matl[1], &r.matl[2], &r.extra.matl}) {
        m->dValue40 *= s;
        m->dValue48 *= s;
    }
}

// Modulus and two strengths, Poisson's ratio, two moduli of the common options.
void Convert(T_YRP_SIXVALUE_D& r, const Factors& f)
{
    const double s = f.Stress();
    r.dValue[0] *= s;
    r.dValue[1] *= s;
    r.dValue[2] *= s;
    r.dValue[4] *= s;
    r.dValue[5] *= s;
}

void Convert(T_YRP_SECT_D& r, const Factors& f)
{
    const double L = f.dLength;
    Scale(r.dDim, L);
    // area, the two squared radii of gyration, the two second moments, the two centroid distances
    const double aPower[7] = {L * L, L * L, L * L, L * L * L * L, L * L * L * L, L, L};
    for (int i = 0; i < 7; ++i) {
        r.dProp[i] *= aPower[i];
        r.dProp184[i] *= aPower[i];
    }
    for (int i = 0; i < r.outer.aVertex.GetSize(); ++i) {
        r.outer.aVertex[i].x *= L;
        r.outer.aVertex[i].y *= L;
    }
    for (int k = 0; k < r.aInner.GetSize(); ++k)
        for (int i = 0; i < r.aInner[k].aVertex.GetSize(); ++i) {
            r.aInner[k].aVertex[i].x *= L;
            r.aInner[k].aVertex[i].y *= L;
        }
}

void Convert(T_YRP_UNITLCOM& r, const Factors& f)
{
    for (int i = 0; i < 3; ++i) {
        r.dForce[i] *= f.dForce;
        r.dForce[3 + i] *= f.Moment();
    }
}

void Convert(T_URWA_UNITLCOM& r, const Factors& f)
{
    for (int i = 0; i < 3; ++i) {
        r.dForce[i] *= f.dForce;
        r.dForce[3 + i] *= f.Moment();
        r.dDesignForce[i] *= f.dForce;
        r.dDesignForce[3 + i] *= f.Moment();
    }
}

void Convert(T_URBE_RBAR_D& r, const Factors& f)
{
    Scale(r.dCover, f.dLength);
    Scale(r.dLength, f.dLength);
}

void Convert(T_URBE_LOAD_D& r, const Factors& f)
{
    for (int i = 0; i < r.aLcom.GetSize(); ++i)
        Convert(r.aLcom[i], f);
    for (int i = 0; i < r.aServLcom.GetSize(); ++i)
        Convert(r.aServLcom[i], f);
}

void Convert(T_URWA_RBAR_D& r, const Factors& f) { Scale(r.dCover, f.dLength); }

void Convert(T_URWA_LOAD_D& r, const Factors& f)
{
    for (int i = 0; i < r.aLcom.GetSize(); ++i)
        Convert(r.aLcom[i], f);
    for (int i = 0; i < r.aServLcom.GetSize(); ++i)
        Convert(r.aServLcom[i], f);
}

void Convert(T_URBE_D& r, const Factors& f)
{
    Convert(r.matl, f);
    Convert(r.sect, f);
    Convert(r.rbar, f);
    Convert(r.load, f);
}

void Convert(T_URWA_D& r, const Factors& f)
{
    Convert(r.matl, f);
    Convert(r.sect, f);
    Convert(r.rbar, f);
    Convert(r.load, f);
}

} // namespace YrpUnits
