// Stand-in for the host's pair key of its hash maps: two values compared member by member.
// The host hashes it as ((first << 16) + second) >> 4; choice: the framework stand-in's map
// indexes such keys in order, so the stand-in gives the order and equality it needs.
#pragma once

template <class T>
struct T_CMAP_K {
    T nKey1{};
    T nKey2{};

    T_CMAP_K() = default;
    T_CMAP_K(T a, T b) : nKey1(a), nKey2(b) {}
    friend bool operator==(const T_CMAP_K& a, const T_CMAP_K& b) { return a.nKey1 == b.nKey1 && a.nKey2 == b.nKey2; }
    friend bool operator<(const T_CMAP_K& a, const T_CMAP_K& b)
    {
        return a.nKey1 < b.nKey1 || (a.nKey1 == b.nKey1 && a.nKey2 < b.nKey2);
    }
};
