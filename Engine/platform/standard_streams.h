#pragma once

// Puts standard input and output into byte-exact mode before the first read
// or write: lines end in a bare line feed on output, and input bytes reach the
// line reader unchanged (it drops a carriage return before the line feed
// itself). Only Windows translates line ends; elsewhere nothing changes.
void useByteExactStandardStreams();
