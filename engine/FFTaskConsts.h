// FFTaskConsts.h - the texts a conversion task reports while it opens its
// files, sets the conversion up and converts.
#pragma once
#include "platform/rtl/ResString.h"

namespace FFTaskConsts {
// life cycle
VORLANE_RESOURCESTRING(SNoOutputFile, "At least one output file must be specified");
VORLANE_RESOURCESTRING(SNoInputFile, "At least one input file must be specified");
VORLANE_RESOURCESTRING(SReadingBroken, "reading broken");
VORLANE_RESOURCESTRING(SReadingTimeout, "connecting/reading timeout");
VORLANE_RESOURCESTRING(SWritingTimeout, "connecting/writing timeout");
VORLANE_RESOURCESTRING(SRenameFailed, "Could not replace \"%s\" with the converted file: %s");
VORLANE_RESOURCESTRING(SOutputExists, "File \"%s\" already exists and overwriting is switched off (-n).");
VORLANE_RESOURCESTRING(SOutputIsInput, "Output file \"%s\" is the same file as input file \"%s\".");
VORLANE_RESOURCESTRING(SInputChanged, "Input file \"%s\" has changed or is gone since it was added.");
// inputs
VORLANE_RESOURCESTRING(SUnknownInputFormat, "Unknown input format: \"%s\"");
VORLANE_RESOURCESTRING(SAllocContextFailed, "avformat_alloc_context() failed");
VORLANE_RESOURCESTRING(SLoopInputDeprecated, "-loop_input is deprecated, use -loop 1\r\nNote, both loop options only work with -f image2");
VORLANE_RESOURCESTRING(SNoCodecParameters, "%s: could not find codec parameters");
VORLANE_RESOURCESTRING(SCouldNotSeek, "%s: could not seek to position %0.3f");
VORLANE_RESOURCESTRING(SFrameRateDiffers, "Seems stream %d codec frame rate differs from container frame rate: %2.2f (%d/%d) . %2.2f (%d/%d)");
VORLANE_RESOURCESTRING(SNeverOccur, "Never occur");
VORLANE_RESOURCESTRING(SNoExtradata, "No extradata to dump in stream #%d:%d.");
VORLANE_RESOURCESTRING(SNoFilenameTag, "No filename specified and no \"filename\" tag in stream #%d:%d.");
VORLANE_RESOURCESTRING(SCouldNotOpenForWriting, "Could not open file %s for writing.");
VORLANE_RESOURCESTRING(SFileExistsIgnore, "File \"%s\" already exists. Ignore.");
// outputs
VORLANE_RESOURCESTRING(SCannotJoin, "Cannot join more than one output file.");
VORLANE_RESOURCESTRING(SJoinMissingStream, "Cannot join input #%d \"%s\": it has no %s stream to continue the output's.");
VORLANE_RESOURCESTRING(SJoinCopyDiffers,
                       "Cannot join input #%d \"%s\": its %s stream is copied but differs from the first input's in %s.");
VORLANE_RESOURCESTRING(SJoinCopyCodec, "codec (%s, not %s)");
VORLANE_RESOURCESTRING(SJoinCopySize, "picture size (%dx%d, not %dx%d)");
VORLANE_RESOURCESTRING(SJoinCopySampleRate, "sample rate (%d, not %d)");
VORLANE_RESOURCESTRING(SJoinCopyChannels, "channel count (%d, not %d)");
VORLANE_RESOURCESTRING(SJoinCopyExtradata, "codec extradata");
VORLANE_RESOURCESTRING(SJoinTwoPass, "Two-pass encoding cannot be used when joining inputs.");
VORLANE_RESOURCESTRING(SCannotMapStream, "Cannot map stream #%d:%d - unsupported type.");
VORLANE_RESOURCESTRING(SCouldNotOpenAttachment, "Could not open attachment file %s.");
VORLANE_RESOURCESTRING(SAttachmentSize, "Could not get size of the attachment %s.");
VORLANE_RESOURCESTRING(SAttachmentTooLarge, "Attachment %s too large to fit into memory.");
VORLANE_RESOURCESTRING(SLoopOutputDeprecated, "-loop_output is deprecated, use -loop");
VORLANE_RESOURCESTRING(SInvalidChapterInput, "Invalid input file index %d in chapter mapping.");
VORLANE_RESOURCESTRING(SInvalidMetadataMapIndex, "Invalid %s index %d while processing metadata maps");
VORLANE_RESOURCESTRING(SNoEqualInMetadata, "No \"=\" character in metadata string %s.");
VORLANE_RESOURCESTRING(SInvalidMetadataStream, "Invalid stream index %d in metadata specifier.");
VORLANE_RESOURCESTRING(SInvalidMetadataChapter, "Invalid chapter index %d in metadata specifier.");
VORLANE_RESOURCESTRING(SNeverOccurLower, "never occur");
VORLANE_RESOURCESTRING(SInvalidMetadataSpecifier, "Invalid metadata specifier %s.");
// output streams
VORLANE_RESOURCESTRING(SCouldNotAllocStream, "Could not alloc stream.");
VORLANE_RESOURCESTRING(SUnknownBsf, "Unknown bitstream filter \"%s\"");
VORLANE_RESOURCESTRING(SInvalidFramerate, "Invalid framerate value: %s");
VORLANE_RESOURCESTRING(SInvalidFrameSize, "Invalid frame size: %s.");
VORLANE_RESOURCESTRING(SUnknownPixelFormat, "Unknown pixel format requested: %s.");
VORLANE_RESOURCESTRING(SIntraMatrixMemory, "Could not allocate memory for intra matrix.");
VORLANE_RESOURCESTRING(SInterMatrixMemory, "Could not allocate memory for inter matrix.");
VORLANE_RESOURCESTRING(SRcOverrideError, "error parsing rc_override");
VORLANE_RESOURCESTRING(SMatrixSyntax, "Syntax error in matrix \"%s\" at coeff %d");
VORLANE_RESOURCESTRING(SInvalidSampleFormat, "Invalid sample format \"%s\"");
VORLANE_RESOURCESTRING(SMaxChannelMapping, "Max channel mapping for output %d.%d reached");
VORLANE_RESOURCESTRING(SDataEncoding, "Data stream encoding not supported yet (only streamcopy)");
// set-up
VORLANE_RESOURCESTRING(SNoStream, "Output file #%d does not contain any stream");
VORLANE_RESOURCESTRING(SExtradataTooLarge, "icodec.extradata_size is invalid (too large)");
VORLANE_RESOURCESTRING(SCopyVideoHookPlugin, "-vcodec copy and -vhook are incompatible (frames are not decoded)");
VORLANE_RESOURCESTRING(SCopyPostHooks, "-vcodec copy and PostHooks are incompatible (frames are not decoded)");
VORLANE_RESOURCESTRING(SCopyVolume, "-acodec copy and -vol are incompatible (frames are not decoded)");
VORLANE_RESOURCESTRING(SCopyAudioHook, "-acodec copy and AudioHook are incompatible (frames are not decoded)");
VORLANE_RESOURCESTRING(SFifoAllocFailed, "av_fifo_alloc failed");
VORLANE_RESOURCESTRING(SNoChannelLayout, "Unable to find an appropriate channel layout for requested number of channel");
VORLANE_RESOURCESTRING(SInvalidCodecTypeOut, "invalid codec_type of output stream");
VORLANE_RESOURCESTRING(SSubtitleEncodingNotAvailable, "Subtitle encoding is not available in this build; use -sn or -c:s copy");
VORLANE_RESOURCESTRING(SPixelFormatUnknown, "Video pixel format is unknown, stream cannot be encoded");
VORLANE_RESOURCESTRING(SFrameRateVeryHigh, "Frame rate very high for a muxer not effciciently supporting it.\nPlease consider specifiying a lower framerate, a different muxer or -vsync 2\n");
VORLANE_RESOURCESTRING(SErrorOpeningFilters, "Error opening filters");
VORLANE_RESOURCESTRING(SErrorOpeningFiltersColon, "Error opening filters: ");
VORLANE_RESOURCESTRING(SCannotAllocateBuffer, "Cannot allocate %d bytes output buffer");
VORLANE_RESOURCESTRING(SEncoderNotFound, "Encoder (codec %s) not found for output stream #%d:%d (%s)");
VORLANE_RESOURCESTRING(SErrorOpeningEncoder, "Error while opening encoder for output stream #%d:%d (%s) - maybe incorrect parameters such as bit_rate, rate, width or height. Please check error log message(reported by FFLogger) to find out more detail information.");
VORLANE_RESOURCESTRING(SBitrateTooLow, "The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
VORLANE_RESOURCESTRING(SDecoderNotFound, "Decoder (codec %s) not found for input stream #%d:%d");
VORLANE_RESOURCESTRING(SErrorOpeningDecoder, "Error while opening decoder for input stream #%d:%d");
VORLANE_RESOURCESTRING(SCouldNotWriteHeader, "Could not write header for output file #%d (incorrect codec parameters ?)");
VORLANE_RESOURCESTRING(SStreamMapping, "Stream mapping:");
VORLANE_RESOURCESTRING(SOptionNotFound, "Option %s not found.");
VORLANE_RESOURCESTRING(SExperimental, "%s \"%s\" is experimental and might produce bad results.\r\nAdd \"-strict experimental\" if you want to use it.");
VORLANE_RESOURCESTRING(SNonExperimental, "Or use the non experimental %s \"%s\"");
VORLANE_RESOURCESTRING(SNotLossless, "Conversion will not be lossless.");
VORLANE_RESOURCESTRING(SIncompatibleSampleFormat, "Incompatible sample format \"%s\" for codec \"%s\", auto-selecting format \"%s\"");
VORLANE_RESOURCESTRING(SClosestSampleRate, "Requested sampling rate unsupported using closest supported (%d)");
VORLANE_RESOURCESTRING(SIncompatiblePixelFormat, "Incompatible pixel format \"%s\" for codec \"%s\", auto-selecting format \"%s\"");
// conversion
VORLANE_RESOURCESTRING(STranscodeInitError, "transcode_init() error");
VORLANE_RESOURCESTRING(SErrorWhileDecoding, "Error while decoding stream #%d:%d (%s)");
VORLANE_RESOURCESTRING(STimestampDiscontinuity, "timestamp discontinuity %d, new offset= %d");
VORLANE_RESOURCESTRING(SMultipleFrames, "Multiple frames in a packet from stream %d");
VORLANE_RESOURCESTRING(SVideoEncodingFailed, "Video encoding failed");
VORLANE_RESOURCESTRING(SAudioEncodingFailed, "Audio encoding failed");
VORLANE_RESOURCESTRING(SBsfFailed, "%s failed for stream %d, codec %s");
VORLANE_RESOURCESTRING(SWriteFrame, "av_interleaved_write_frame()");
VORLANE_RESOURCESTRING(SInjectFrameFailed, "Failed to inject frame into filter network");
VORLANE_RESOURCESTRING(SSinkFailed, "AV Filter told us it has a frame available but failed to output one");
VORLANE_RESOURCESTRING(SDrop, "*** drop!");
VORLANE_RESOURCESTRING(SDup, "*** %d dup!");
VORLANE_RESOURCESTRING(SStatusFrame, "frame=%5d fps=%3d q=%3.1f ");
VORLANE_RESOURCESTRING(SStatusSize, "size=%8.0fkB time=%.2d:%.2d:%.2d.%.2d bitrate=%6.1fkbits/s");
VORLANE_RESOURCESTRING(SStatusDupDrop, " dup=%d drop=%d");
VORLANE_RESOURCESTRING(STotals, "video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n");
VORLANE_RESOURCESTRING(SOutputEmpty, "Output file is empty, nothing was encoded (check -ss / -t / -frames parameters if used)");
}  // namespace FFTaskConsts
