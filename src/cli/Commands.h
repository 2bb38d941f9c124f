#pragma once
// The commands of veltrano-cli, each given its parsed options; each returns the exit status
// and may throw UsageError.
#include <optional>
#include <ostream>
#include <string>

#include "cli/Options.h"
#include "voice/Voice.h"

namespace veltrano::cli {

// The questions: nothing is written but the report's own file.
int List(const Options& o, std::ostream& out, std::ostream& err);
int Matrix(const Options& o, const std::string& programFolder, std::ostream& out,
           std::ostream& err);
int Find(const Options& o, const std::string& programFolder, std::ostream& out, std::ostream& err);
int Report(const Options& o, std::ostream& err);
int Names(const Options& o, const std::string& programFolder, std::ostream& out, std::ostream& err);

// The edits over a library, planned and, with --write, written.
int SetMatrix(const Options& o, std::ostream& out, std::ostream& err);
int Replace(const Options& o, const std::string& programFolder, std::ostream& out,
            std::ostream& err);
int SetCategory(const Options& o, std::ostream& out, std::ostream& err);
int Restore(const Options& o, std::ostream& out, std::ostream& err);

// The matrix that set-matrix writes, from the one source the options give; nothing after
// saying why on err.
std::optional<voice::ControlMatrix> MatrixOfSource(const Options& o, std::ostream& err);

} // namespace veltrano::cli
