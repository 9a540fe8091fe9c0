#pragma once

// Hands memory freed after large work (a file read, a pass over a page)
// back to the system. The allocator keeps what it freed for reuse; after a
// large file is opened that is tens of MB the program no longer needs.
class MemoryRelease
{
public:
    // The size of text from which work is worth giving back after.
    static constexpr long long kLargeChars = 2 * 1024 * 1024;
    static void afterLargeWork();
    // Set once at start: large blocks (a file's bytes, a page's text and
    // lists) go back to the system as soon as they are freed, instead of
    // the allocator keeping them, and their size, for later.
    static void returnLargeBlocks();
};
