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
// The registry was asked to create or destroy an abstract class.
inline constexpr int kAbstractClass = -88306;
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
// Warning: a finite run or transfer stopped before its end.
inline constexpr int kStoppedEarly = 200010;
inline constexpr int kBypassNeedsOneChannel = -200329;  // a bypass selection in a longer list
inline constexpr int kFIFOOverflow = -200010;  // an input FIFO overflowed (its buffer-error bit)
inline constexpr int kConverterOverrun = -200019;  // the converter overran during a transfer

// Analog output.
// An update or sample clock passed unseen (+209802 as a warning).
inline constexpr int kClockMissed = -209802;
inline constexpr int kStopRequested = -224608;     // a wait ended by a stop request
inline constexpr int kIntervalLoadBusy = -201261;  // the interval load register is still in use
inline constexpr int kPreloadShort = -200166;      // a preload ended before the total samples
inline constexpr int kAOError = -200018;           // the AO error otherwise, or a serial DAC error
inline constexpr int kFIFOFull = -200795;          // a direct write the FIFO cannot take
inline constexpr int kBadConfigSelectA = -200153;  // a DAC select A not valid for the channel
inline constexpr int kConfigSelectBZero = -200269;
inline constexpr int kConfigSelectBTooHigh = -200268;  // DAC select B 5 or 6

// Reservation.
inline constexpr int kFailed = -1;                   // a failure with no code of its own
inline constexpr int kAlreadyReserved = -50103;      // the single holder is taken
inline constexpr int kLineFilterConflict = -200645;  // a line in use with another filter

// Chassis reservation: what a chassis answers a refused reservation, and the
// two codes a user sees in their place.
inline constexpr int kResourceReserved = -200022;    // the resource is reserved by another task
inline constexpr int kDeviceNotPresent = -200324;    // the device was removed or is not present
inline constexpr int kChassisNotPresent = -54000;    // the chassis does not answer
inline constexpr int kChassisRemoved = -54001;       // the chassis was removed
inline constexpr int kChassisNotReady = -54002;      // the chassis is not ready
inline constexpr int kChassisReserved = -54010;      // the chassis resource is held elsewhere
inline constexpr int kCartridgeNotPresent = -54011;  // the cartridge slot is empty
inline constexpr int kCartridgeReserved = -54012;    // the cartridge is held elsewhere
inline constexpr int kDeviceGone = -88708;           // the device left the bus

// Timers and threads.
// Start or a deadline while running, stop while stopped, a wait where none
// may be, a second worker thread.
inline constexpr int kMisuse = -50006;
inline constexpr int kNotInitialized = -50104;  // a timer never started, a node attribute missing
inline constexpr int kDoneTimeout = -224606;    // a worker thread's done event did not come in time
inline constexpr int kClockBackwards = 50202;   // warning: the clock read below the start count

// Correlated digital transfers.
inline constexpr int kCDIOverrun = -200715;  // the FIFO overran (input, or an immediate output)
inline constexpr int kCDOOverrun = -200716;  // the output FIFO overran under DMA or interrupts
inline constexpr int kOutputBufferError = -200016;  // an output FIFO's buffer error (underflow)
inline constexpr int kShortTransfer = -200222;      // a partner or destination moved another count
inline constexpr int kNothingToWrite = -200290;     // the output partner handed over no bytes
// One notification or interrupt would take more than its chunk limit.
inline constexpr int kChunkLimit = -200322;
inline constexpr int kReadPastTotal = -200278;    // a read after the finite total was read
inline constexpr int kWritePastTotal = -200288;   // a write after the finite total was written
inline constexpr int kWaitTimeout = -200474;      // no data, room, update or sample clock in time
inline constexpr int kNullDestination = -224629;  // a read was given no destination
inline constexpr int kStreamOperationNotOffered = -200455;  // an input stream's other operation
// An output stream's other operation.
inline constexpr int kOutputStreamOperationNotOffered = -200454;
// A sample-clock wait before the task was committed.
inline constexpr int kWaitBeforeCommit = -200475;
// A setting changed after the transfer was set up.
inline constexpr int kSettingWhileInUse = -223748;
inline constexpr int kNewestSamplesDrained = 209800;  // warning: the read kept the newest samples
// Warning: work went on after a FIFO error was seen.
inline constexpr int kAfterFIFOError = 209801;

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

// Clocks and EEPROM.
inline constexpr int kPLLNotLocked = -200245;     // the PLL did not report lock in time
inline constexpr int kEEPROMCacheRange = -50007;  // a cache range past the cached bytes
inline constexpr int kEEPROMReadRange = -50010;   // an EEPROM read past its size
inline constexpr int kEEPROMWriteRange = -50013;  // an EEPROM write past its size

// Board bring-up.
inline constexpr int kNoDeviceNode = -50300;  // a board handle without a device-tree node

}  // namespace nQoUdR100
