// The children of a batch on Windows. A console control event (Ctrl-C,
// Ctrl-Break, a closed console) sets an event while a Children lives, and
// the wait for the next child waits for that event as well, so no interrupt
// slips between a check and a wait. A child is a process handle; its id is
// the handle's value. The children are in a job object that ends them when
// its last handle, the batch's, closes: when the batch is ended from
// outside or its console closes, the system closes it and the children go
// too.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>

#include "platform/rt/win32_api.hpp"
#include "src/batch/processes.hpp"

namespace batch {

namespace {

HANDLE interruptEvent = nullptr;  // the event of the Children that lives

BOOL WINAPI noteInterrupt(DWORD) {
  if (interruptEvent) ::SetEvent(interruptEvent);
  return TRUE;  // the batch stops in order rather than at once
}

HANDLE asHandle(ProcessId id) { return reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(id)); }

// One argument as the C runtime reads it back: quoted when it has blanks or
// quotes, backslashes doubled before a quote.
std::wstring quoted(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : arg) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    out.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    out += c;
  }
  out.append(backslashes * 2, L'\\');
  return out + L"\"";
}

// The environment block of a child: ours with `extra` set over it.
std::wstring childEnvironment(const std::vector<std::pair<std::string, std::string>>& extra) {
  std::wstring block;
  wchar_t* ours = ::GetEnvironmentStringsW();
  for (const wchar_t* e = ours; e && *e; e += std::wcslen(e) + 1) {
    const std::wstring entry(e);
    const bool replaced = std::any_of(extra.begin(), extra.end(), [&](const auto& kv) {
      const std::wstring name = rt::win32::wide(kv.first) + L"=";
      return entry.size() >= name.size() && ::CompareStringOrdinal(entry.c_str(), static_cast<int>(name.size()),
                                                                   name.c_str(), static_cast<int>(name.size()),
                                                                   TRUE) == CSTR_EQUAL;
    });
    if (!replaced) block.append(entry).push_back(L'\0');
  }
  if (ours) ::FreeEnvironmentStringsW(ours);
  for (const auto& [name, value] : extra) block.append(rt::win32::wide(name + "=" + value)).push_back(L'\0');
  block.push_back(L'\0');
  return block;
}

// The system's last failure, its text without the closing period (the
// caller's sentence goes on after it).
rt::Status lastFailure() {
  const DWORD error = ::GetLastError();
  wchar_t* text = nullptr;
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = n && text ? std::wstring(text, n) : L"error " + std::to_wstring(error);
  if (text) ::LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.')) {
    message.pop_back();
  }
  return rt::Status::fromOsCode(rt::osCodeOfSystemError(static_cast<int>(error)), rt::win32::narrow(message));
}

// An exit code in the range of the NTSTATUS errors is the exception that
// ended the process.
bool isException(DWORD code) { return code >= 0xC0000000u; }

// A job object whose processes end when its last handle closes; nullptr
// when none can be made (the children then run free, as before jobs).
HANDLE killOnCloseJob() {
  HANDLE job = ::CreateJobObjectW(nullptr, nullptr);
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (job && !::SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    ::CloseHandle(job);
    job = nullptr;
  }
  return job;
}

}  // namespace

struct Children::Saved {
  HANDLE interrupt = nullptr;
  HANDLE job = nullptr;  // not inherited: no child may keep it open
};

Children::Children() : saved_(std::make_unique<Saved>()) {
  saved_->interrupt = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  saved_->job = killOnCloseJob();
  interruptEvent = saved_->interrupt;
  ::SetConsoleCtrlHandler(noteInterrupt, TRUE);
}

Children::~Children() {
  while (!running_.empty()) end(running_.back());
  ::SetConsoleCtrlHandler(noteInterrupt, FALSE);
  interruptEvent = nullptr;
  if (saved_->interrupt) ::CloseHandle(saved_->interrupt);
  if (saved_->job) ::CloseHandle(saved_->job);
}

rt::Status Children::start(const ChildCommand& command, ProcessId& id) {
  SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE input = ::CreateFileW(L"NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE messages = ::CreateFileW(rt::win32::wide(command.messagesFile).c_str(), GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
  if (input == INVALID_HANDLE_VALUE || messages == INVALID_HANDLE_VALUE) {
    const rt::Status error = lastFailure();
    if (input != INVALID_HANDLE_VALUE) ::CloseHandle(input);
    if (messages != INVALID_HANDLE_VALUE) ::CloseHandle(messages);
    return error;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = input;
  startup.hStdOutput = messages;
  startup.hStdError = messages;

  const std::wstring program = rt::win32::wide(command.program);
  std::wstring line = quoted(program);
  // The options' text in full (field names, a condition) through the wide
  // command line, which the child reads them from; the names as every name.
  for (const std::string& option : command.options) line += L" " + quoted(rt::win32::wideFromUtf8(option));
  for (const std::string& arg : command.args) line += L" " + quoted(rt::win32::wide(arg));
  std::wstring environment = childEnvironment(command.environment);
  const std::wstring directory = rt::win32::wide(command.directory);

  // Suspended until it is in the job, so that it starts nothing outside it.
  PROCESS_INFORMATION process{};
  const BOOL started =
      ::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                       CREATE_UNICODE_ENVIRONMENT | CREATE_NO_WINDOW | CREATE_SUSPENDED, environment.data(),
                       directory.c_str(), &startup, &process);
  const rt::Status error = started ? rt::Status::ok() : lastFailure();
  ::CloseHandle(input);
  ::CloseHandle(messages);
  if (!started) return error;
  // A system that refuses the job (a batch in a job of its own before
  // Windows 8) still converts the table; only the end with the batch is lost.
  if (saved_->job) ::AssignProcessToJobObject(saved_->job, process.hProcess);
  ::ResumeThread(process.hThread);
  ::CloseHandle(process.hThread);
  id = static_cast<ProcessId>(reinterpret_cast<std::intptr_t>(process.hProcess));
  running_.push_back(id);
  return rt::Status::ok();
}

std::optional<ChildEnd> Children::waitNext() {
  while (!interrupted_ && !running_.empty()) {
    // The interrupt first, as on every system; then up to 63 children at a
    // time, a short wait each when there are more.
    std::vector<HANDLE> handles{saved_->interrupt};
    for (std::size_t i = 0; i < running_.size() && handles.size() < MAXIMUM_WAIT_OBJECTS; ++i) {
      handles.push_back(asHandle(running_[i]));
    }
    const DWORD timeout = handles.size() - 1 < running_.size() ? 50 : INFINITE;
    const DWORD r = ::WaitForMultipleObjects(static_cast<DWORD>(handles.size()), handles.data(), FALSE, timeout);
    if (r == WAIT_OBJECT_0) {
      interrupted_ = true;
    } else if (r > WAIT_OBJECT_0 && r < WAIT_OBJECT_0 + handles.size()) {
      const std::size_t index = r - WAIT_OBJECT_0 - 1;
      const ProcessId id = running_[index];
      DWORD code = 0;
      ::GetExitCodeProcess(asHandle(id), &code);
      ::CloseHandle(asHandle(id));
      running_.erase(running_.begin() + static_cast<std::ptrdiff_t>(index));
      ChildEnd end;
      end.id = id;
      end.crashed = isException(code);
      end.code = static_cast<int>(code);
      return end;
    } else if (r == WAIT_TIMEOUT) {
      std::rotate(running_.begin(), running_.begin() + static_cast<std::ptrdiff_t>(handles.size() - 1),
                  running_.end());
    } else {
      return std::nullopt;  // the wait itself failed: nothing to be had
    }
  }
  return std::nullopt;
}

void Children::end(ProcessId id) {
  const auto it = std::find(running_.begin(), running_.end(), id);
  if (it == running_.end()) return;
  running_.erase(it);
  ::TerminateProcess(asHandle(id), 1);
  ::WaitForSingleObject(asHandle(id), INFINITE);
  ::CloseHandle(asHandle(id));
}

bool errorIsTerminal() {
  DWORD mode = 0;
  return ::GetConsoleMode(::GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool followBatch() { return true; }  // the batch's job object ends its children

std::string crashDescription(int code) {
  char text[32];
  std::snprintf(text, sizeof text, "exception 0x%08X", static_cast<unsigned>(code));
  return text;
}

}  // namespace batch
