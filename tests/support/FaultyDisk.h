#pragma once

// A file layer under SQLite for the tests: it wraps the engine's default one
// and, when armed, makes calls of one kind fail, as a failing or full disk
// does. install() makes it the default for every connection of the process,
// including the ones Qt's driver opens, as long as the driver links the same
// engine as this process (the system's). Whether it is really in the path is
// for the test to check: calls() counts what went through it.
class FaultyDisk {
public:
    enum Call { Open, Delete, Read, Write, Truncate, Sync, FileSize, CallCount };
    // How the chosen call fails. Full: the call answers that the disk is full,
    // and a write stores only its first half. (A read fails with an error
    // only: the engine takes a short read for the end of the file, and the
    // system never gives one in the middle of it.)
    enum class Failure { Error, Full };

    struct Fault {
        Call call = Write;
        Failure failure = Failure::Error;
        int nth = 1;             // the first failing call, counted from arming, from 1
        bool persistent = false; // every later call of the kind fails too, until disarmed
    };

    // Registers the layer as the default one; later calls do nothing.
    static bool install();
    static void arm(const Fault& fault);
    static void disarm();
    // Calls of the armed kind that failed since arming.
    static int failures();
    // Every call of a kind since the layer was installed, armed or not.
    static int calls(Call call);
};
