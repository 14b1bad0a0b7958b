/*
 * For the stand-ins: a fixed table from window handles to what a stand-in
 * keeps for each window, with no allocation and no C++ library (the shipped
 * programs do without both). A null handle marks a free entry.
 */
#ifndef CEPLATFORM_WINDOWTABLE_H
#define CEPLATFORM_WINDOWTABLE_H

#include <windows.h>

template <typename Value, int Size>
class WindowTable {
public:
    struct Entry {
        HWND window;
        Value value;
    };

    // The entry of a window, or null.
    Entry *Find(HWND window) { return window ? Lookup(window) : nullptr; }

    // The entry of a window, taken from the free ones when it has none yet;
    // null when the table is full.
    Entry *Add(HWND window)
    {
        Entry *entry = Find(window);
        if (!entry && window && (entry = Lookup(nullptr)))
            entry->window = window;
        return entry;
    }

    void Remove(Entry *entry) { *entry = {}; }

private:
    Entry *Lookup(HWND window)
    {
        for (Entry &entry : entries)
            if (entry.window == window)
                return &entry;
        return nullptr;
    }

    Entry entries[Size] = {};
};

#endif
