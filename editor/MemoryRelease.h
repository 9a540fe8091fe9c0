#pragma once

// Hands memory freed after large work (a file read, a pass over a page)
// back to the system. The allocator keeps what it freed for reuse; after a
// large file is opened that is tens of MB the program no longer needs.
class MemoryRelease
{
public:
    // After work on a text of chars characters: gives back what it freed
    // when the text is large enough for that to be worth it.
    static void afterWorkOn(long long chars);
    // Set once at start: large blocks (a file's bytes, a page's text and
    // lists) go back to the system as soon as they are freed, instead of
    // the allocator keeping them, and their size, for later.
    static void returnLargeBlocks();
};
