// The status codes the system sets, by name. A negative code is an error, a
// positive one a warning; a new code gets its name here. Codes the platform
// names itself (iSync::kTimeoutCode, the streams' kEndOfStream, the parameter
// blocks' kOutOfValues, kUnknownResource) keep the platform's names.
#pragma once

namespace nQoUdR100 {

// Any object of the module.
inline constexpr int kNullPointer = -50004;  // a required object or pointer is missing
inline constexpr int kOutOfMemory = -50352;  // an allocation failed, or a window cannot be mapped
inline constexpr int kCastFailed = -89000;   // a class-identity cast failed
// A value that cannot be represented, or an operation the object's state
// refuses (a state tracker, a finished message, a sync object not opened).
inline constexpr int kRefused = -50150;
inline constexpr int kCountTooLarge = -50175;  // a count that does not fit in 32 bits
inline constexpr int kNotSupported = -50256;   // the operation is not supported here
inline constexpr int kBadArgument = -223749;   // a request or argument of the wrong shape or value

// Module versions: the range a caller asks for.
inline constexpr int kInvertedRange = -50000;  // newest below oldest
inline constexpr int kVersionTooNew = -50252;  // oldest is newer than this system
inline constexpr int kVersionTooOld = -50253;  // newest is older than the oldest supported

// Registers and maps.
inline constexpr int kNoDeviceBus = -50002;   // a device without a bus, or a map never set up
inline constexpr int kBadIndex = -50003;      // register index, field or table entry out of range
inline constexpr int kValueTooWide = -50005;  // a value wider than its field or register
inline constexpr int kCannotRead = -50009;    // a register without a read operation
inline constexpr int kCannotWrite = -50012;   // a register without a write operation
inline constexpr int kBoardTimeout = -50400;  // a board bit did not come in time

// Analog input.
inline constexpr int kStoppedBeforeRecordEnd = 200010;  // warning: a finite run stopped early
inline constexpr int kBypassNeedsOneChannel = -200329;  // a bypass selection in a longer list
inline constexpr int kFIFOOverflow = -200010;      // the data FIFO overflowed during a transfer
inline constexpr int kConverterOverrun = -200019;  // the converter overran during a transfer
inline constexpr int kMoveMismatch = -200222;      // a destination moved another count than asked
inline constexpr int kBlockLimit = -200322;        // one FIFO interrupt would take too many samples
inline constexpr int kNoSampleClock = -200474;  // no sample clock, or no data, within the time-out
inline constexpr int kReadAfterFinish = -200278;  // a read after a finite acquisition delivered all
inline constexpr int kMissedSampleClock = -209802;  // a sample clock passed unseen (+: warning)

// Reservation.
inline constexpr int kNoPrimitive = -1;              // a reserved pool holds no primitive
inline constexpr int kAlreadyReserved = -50103;      // the single holder is taken
inline constexpr int kLineFilterConflict = -200645;  // a line in use with another filter

// Timers and threads.
// Start or a deadline while running, stop while stopped, a wait where none
// may be, a second worker thread.
inline constexpr int kMisuse = -50006;
inline constexpr int kNotStarted = -50104;     // a wait on a timer that was never started
inline constexpr int kDoneTimeout = -224606;   // a worker thread's done event did not come in time
inline constexpr int kClockBackwards = 50202;  // warning: the clock read below the start count

// Portability layer.
inline constexpr int kPalOutOfMemory = -52000;
inline constexpr int kPalNotSupported = -52002;
inline constexpr int kPalTimeout = -52007;      // or nothing to take with time-out 0
inline constexpr int kPalInterrupted = -52025;  // an interruptible wait was interrupted

// Text conversion.
inline constexpr int kDestinationFull = -52019;  // no room for the output or its terminator
inline constexpr int kBadCharacter = -200811;    // malformed input, or a code point out of range

// Names and paths.
inline constexpr int kEmptyPath = -200099;
inline constexpr int kEmptyName = -200467;
inline constexpr int kBadNameCharacter = -200552;  // forbidden, a lone or edge ':', a kind above 5
inline constexpr int kLeadingSpace = -200553;
inline constexpr int kTrailingSpace = -200554;
inline constexpr int kLeadingUnderscore = -200555;
inline constexpr int kEmptyPathPart = -201237;  // a qualified path with an empty head or tail
inline constexpr int kNameTooLong = -201337;    // a kind-4 name of 255 characters or more

// Chassis messages.
inline constexpr int kMessageOverrun = -228700;  // a write or read past the end of a message

// Board data: product tables and capability lists.
inline constexpr int kUnknownProduct =
    -223747;  // no product record for an identifier, handle or name
inline constexpr int kUnknownCapabilityCode = -223744;  // a capability code outside the code pairs

}  // namespace nQoUdR100
