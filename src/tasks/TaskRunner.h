#pragma once

#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "foundation/CancelToken.h"
#include "foundation/Log.h"

namespace quillory {

// Runs work off the GUI thread and hands the end of each task back to it. The work touches
// nothing the GUI thread owns (rows, the investment list); `done` runs on the GUI thread after
// the work, and may read what the work left in shared state captured by both.
class TaskRunner {
public:
    virtual ~TaskRunner() = default;
    // `key` names what the work talks to (a host): the runner limits how many tasks of one key run
    // at once. The work runs with `token` as its thread's CancelToken; a task whose token is
    // cancelled before it starts is not run, but its `done` still follows.
    virtual void Submit(const std::string& key, std::shared_ptr<const CancelToken> token, std::function<void()> work,
                        std::function<void()> done) = 0;
};

// Runs `work` through `runner` and gives its value to `done` on the GUI thread. A task that
// throws, or was cancelled before it started, gives T's default value.
template <typename T>
void SubmitTask(TaskRunner& runner, const std::string& key, std::shared_ptr<const CancelToken> token,
                std::function<T()> work, std::function<void(T&)> done) {
    auto result = std::make_shared<std::optional<T>>();
    runner.Submit(
        key, std::move(token),
        [result, work = std::move(work)] {
            try {
                result->emplace(work());
            } catch (const std::exception& e) {
                LogError(std::string("SubmitTask() - Caught exception - ") + e.what());
            } catch (...) {
                LogError("SubmitTask() - Caught unknown exception");
            }
        },
        [result, done = std::move(done)] {
            if (!result->has_value())
                result->emplace();
            done(**result);
        });
}

} // namespace quillory
