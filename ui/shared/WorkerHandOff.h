// A window's long job on a worker thread: the window starts it with copies of what it
// needs and the worker only posts back. Each start makes the jobs before it stale, so a
// message is taken only from the newest; a job that outlasts a moment shows that it runs.
// The mailbox is shared with the workers, which may outlive the window.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

namespace lacqueron {

template <typename Outcome>
class WorkerHandOff {
public:
    // The worker's news, its generation in wParam; and the timer that says a job runs.
    static constexpr UINT kDoneMessage = WM_APP + 1;
    static constexpr UINT_PTR kProgressTimer = 1;
    // A job that takes longer than this shows that it is running.
    static constexpr UINT kProgressAfterMs = 100;

    WorkerHandOff() : mailbox_(std::make_shared<Mailbox>()) {}

    // Runs job() (an Outcome from its own copies) on a new thread. Throws when no thread
    // can be had, the job then never runs. Out of memory on the worker, nothing is posted
    // and the window shows the job running until it starts another.
    template <typename Job>
    void Start(HWND window, Job job) {
        std::uint64_t generation = 0;
        {
            const std::lock_guard guard(mailbox_->lock);
            generation = ++mailbox_->generation;
        }
        std::thread([mailbox = mailbox_, generation, window, job = std::move(job)]() mutable noexcept {
            try {
                auto outcome = std::make_unique<Outcome>(job());
                const std::lock_guard guard(mailbox->lock);
                if (mailbox->generation != generation) return;
                mailbox->outcome = std::move(outcome);
            } catch (...) {
                return;
            }
            PostMessageW(window, kDoneMessage, static_cast<WPARAM>(generation), 0);
        }).detach();
        running_ = true;
        SetTimer(window, kProgressTimer, kProgressAfterMs, nullptr);
    }

    // The outcome kDoneMessage announces; null when a newer job has started since.
    std::unique_ptr<Outcome> Take(HWND window, WPARAM generation) noexcept {
        std::unique_ptr<Outcome> outcome;
        {
            const std::lock_guard guard(mailbox_->lock);
            if (generation != mailbox_->generation || !mailbox_->outcome) return nullptr;
            outcome = std::move(mailbox_->outcome);
        }
        running_ = false;
        KillTimer(window, kProgressTimer);
        return outcome;
    }

    // On WM_TIMER: true when the window should now say that the job is running.
    bool ProgressDue(HWND window, WPARAM timer) noexcept {
        if (timer != kProgressTimer) return false;
        KillTimer(window, kProgressTimer);
        return running_;
    }

    // On WM_DESTROY.
    static void Stop(HWND window) noexcept { KillTimer(window, kProgressTimer); }

private:
    struct Mailbox {
        std::mutex lock;
        std::uint64_t generation = 0;
        std::unique_ptr<Outcome> outcome;
    };

    std::shared_ptr<Mailbox> mailbox_;
    bool running_ = false;
};

}  // namespace lacqueron
