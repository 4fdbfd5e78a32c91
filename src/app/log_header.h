// The lines that open the event log on every run: program and build, log folder, user.
#pragma once

class TLogFile;
class TWorkingDirHandler;

namespace log_header {

void write(TLogFile &log, const TWorkingDirHandler &workingDir);

} // namespace log_header
