#pragma once

#include <nlohmann/json.hpp>
#include <string>

// What a command tells: its messages on standard error (none with -q), and
// under --json the one object standard output carries at the end, the
// command's result or the failure that ended it.
class CliReport {
  public:
    CliReport(bool json, bool quiet) : json_(json), quiet_(quiet) {}

    bool Json() const { return json_; }
    bool Quiet() const { return quiet_; }

    // The command's result under --json; keys are camelCase.
    nlohmann::ordered_json& Result() { return result_; }

    // A line on standard error, unless -q.
    void Say(const std::string& text) const;
    // A failure: said, and kept as the message of the JSON error.
    void Fail(const std::string& text);
    // A line that follows the failure said last: said, and added to its message.
    void Follow(const std::string& text);
    // A question was answered No: unless a failure follows, the command was
    // cancelled.
    void Declined() { declined_ = true; }
    // The command printed its result line by line as JSON lines: a success
    // adds nothing at the end, a failure still its error object.
    void Streamed() { streamed_ = true; }

    // Ends the command with `status`: says "Cancelled" after a declined
    // question, then under --json prints the result, with an "error" object
    // beside it on failure (only that object after streamed lines). Returns
    // `status`.
    int Finish(int status);

  private:
    std::string ErrorMessage(int status) const;

    bool json_;
    bool quiet_;
    bool declined_ = false;
    bool streamed_ = false;
    std::string failure_;
    nlohmann::ordered_json result_ = nlohmann::ordered_json::object();
};
