#pragma once

#include <string>
#include <string_view>

namespace clickpath::platform {

// Standard error as a program that must never wait on it writes it. On a
// terminal whose output is paused (Ctrl+S), a plain write would block the
// only thread: the pointer would stop with a press held, and no stop would
// be seen. So on a terminal the output goes through a descriptor of its own,
// opened anew without blocking (setting O_NONBLOCK on the descriptor that the
// shell shares would stay set after the exit), and what the terminal does not
// take now waits, up to a bound, or is dropped; what still waits when the
// program ends is written by a child once the terminal goes on. Elsewhere
// (a file, a pipe) writes are plain.
class TerminalOutput {
public:
    TerminalOutput();
    ~TerminalOutput();
    TerminalOutput(const TerminalOutput&) = delete;
    TerminalOutput& operator=(const TerminalOutput&) = delete;

    bool isTerminal() const { return terminal_ != -1; }
    // The terminal's width now, so that a resize is followed; 0 when unknown.
    int columns() const;
    // A frame that is worth showing only now: dropped while an earlier piece
    // still waits for the terminal.
    void showFrame(std::string_view bytes);
    // Text that should reach the terminal: it waits behind earlier pieces.
    void write(std::string_view bytes);

private:
    // Writes what waits as far as the terminal takes it; true when nothing is left.
    bool flush();
    void leaveToChild();

    int terminal_ = -1; // our own descriptor of the terminal
    std::string waiting_;
};

} // namespace clickpath::platform
