// The back end of a run that passes its list in parts.
//
// The statement pass and the writer take about as long as the scanner, so
// while the scanner reads the next part the back end passes and writes the
// one before it. Nothing is shared while it works: it has a context of its
// own, and each part brings all it needs.
//   - Tokens: the part's own, moved over.
//   - Texts: the back end's text pool is a copy of the scanner's, brought
//     up to date with each part (the scanner's only grows), so every text
//     reference means the same in both. A text the passes make lies past
//     the copied ones and dies with its part: the next copy overwrites it.
//     Of a passed part only its last token, a line end, stays, and it is
//     neither written again nor read for its text.
//   - Names: the declared functions and arrays are copied with the first
//     part, and an array declared later comes with the first part handed
//     over after it, so each part sees the declarations a pass on the
//     scanner's side would have seen. A function declared later, or an option
//     changed, makes the attempt again before anything reaches here.
//   - Reports: a pass that fails here makes the attempt again with the
//     whole list, which reports it; so the back end holds its own reports
//     and drops them.
// The text of the parts is the back end's until the scanner's side has
// waited for the last part. So a run comes out byte for byte as it would if
// each part were passed and written the moment it was cut, which is what
// the back end does where there are no threads.
#include "driver/part_worker.h"

#include <deque>
#include <version>

#include "output/writer.h"
#include "passes/statement_pass.h"

#if defined(__GLIBCXX__) && !defined(_GLIBCXX_HAS_GTHREADS)
#define BPREP2_HAS_THREADS 0
#else
#define BPREP2_HAS_THREADS 1
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#endif

namespace bprep2 {

namespace {

// Parts wait for the back end up to about this many tokens; beyond it the
// scanner waits, so that the list is never held whole.
constexpr size_t mostTokensWaiting = size_t{1} << 16;

// The token lists the back end is done with, kept for the scanner's next
// parts rather than made anew.
constexpr size_t mostSpareLists = 4;

}  // namespace

// A part and what the back end must learn before passing it.
struct PartJob {
    TokenList tokens;
    std::string newTexts;  // the scanner's texts made since the part before
    std::vector<std::string> arraysDeclared;
    bool specialWordsMet = false;
};

class PartWorker {
   public:
    PartWorker(const PreprocessorContext& front, size_t expectedText);
    ~PartWorker();
    PartWorker(const PartWorker&) = delete;
    PartWorker& operator=(const PartWorker&) = delete;

    void startThread();
    bool handOver(const PreprocessorContext& front, TokenList& part, std::vector<std::string>& arraysDeclared);
    bool finish();
    bool usedObjectRuntime() const { return back_->objectRuntimeUsed; }
    void takeText(TextBuffer& text) { text.swap(text_); }

   private:
    bool passAndWrite(PartJob& job);
    bool declareArrays(const std::vector<std::string>& names);
    bool threaded() const;
    void serve();

    // The scanner's side only.
    size_t poolCopied_ = 0;  // bytes of the scanner's text pool handed over so far

    // The back end's only.
    std::unique_ptr<PreprocessorContext> back_;
    // Its own, not the run's: the scanner's side reads its state beside
    // the run's buffer at every line, and would wait for the cache line
    // this one writes at every token.
    TextBuffer text_;
    const bool functionsDeclared_;  // one declared later makes the attempt again
    size_t scannerTexts_ = 0;  // bytes at the start of back_->textPool that are the scanner's
    bool first_ = true;        // no part passed yet

    // Both sides', under the lock when the back end has a thread.
    std::deque<PartJob> waiting_;
    size_t tokensWaiting_ = 0;
    std::vector<TokenList> spareLists_;
    bool busy_ = false;    // a part is being passed and written
    bool failed_ = false;  // a part failed: the rest are dropped
    bool stopping_ = false;
#if BPREP2_HAS_THREADS
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
#endif
};

PartWorker::PartWorker(const PreprocessorContext& front, size_t expectedText)
    : back_(std::make_unique<PreprocessorContext>()), functionsDeclared_(anyFunctionDeclared(front)) {
    text_.reserve(expectedText);
    PreprocessorContext& back = *back_;
    back.options = front.options;
    back.userFunctions = front.userFunctions;
    back.dimArrays = front.dimArrays;
    back.stream.holdMessages = true;
    // The copy of the pool grows to the pool's size; grown twofold, it
    // would touch twice the memory.
    back.textPool.reserve(front.textPool.capacity());
}

// False when the part fails as it would on the scanner's side. A lookup
// that misses leaves the name in the back end's tables with 0, as there.
// Afterwards the job holds the list of the part before.
bool PartWorker::passAndWrite(PartJob& job) {
    if (!declareArrays(job.arraysDeclared)) return false;
    PreprocessorContext& back = *back_;
    back.textPool.resize(scannerTexts_);
    back.textPool.append(job.newTexts);
    scannerTexts_ = back.textPool.size();
    back.tokens.swap(job.tokens);
    back.specialWordsMet = job.specialWordsMet;
    size_t from = first_ ? 0 : 1;
    first_ = false;
    return runStatementPass(back) == 0 && appendProgramText(back, from, functionsDeclared_, text_) == 0;
}

// An array declared after a passed part looked its name up and missed
// would have changed that part.
bool PartWorker::declareArrays(const std::vector<std::string>& names) {
    for (const std::string& name : names) {
        const int32_t* known = back_->dimArrays.find(name);
        if (known && *known == 0) return false;
        back_->dimArrays.findOrAdd(name) = 1;
    }
    return true;
}

bool PartWorker::handOver(const PreprocessorContext& front, TokenList& part,
                          std::vector<std::string>& arraysDeclared) {
    PartJob job;
    job.tokens.swap(part);
    job.newTexts.assign(front.textPool, poolCopied_);
    poolCopied_ = front.textPool.size();
    job.arraysDeclared.swap(arraysDeclared);
    job.specialWordsMet = front.specialWordsMet;
    if (!threaded()) {
        failed_ = failed_ || !passAndWrite(job);
        part.swap(job.tokens);
        return !failed_;
    }
#if BPREP2_HAS_THREADS
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return tokensWaiting_ < mostTokensWaiting || failed_; });
    if (failed_) return false;
    tokensWaiting_ += job.tokens.size();
    waiting_.push_back(std::move(job));
    if (!spareLists_.empty()) {
        part.swap(spareLists_.back());
        spareLists_.pop_back();
    }
    lock.unlock();
    changed_.notify_all();
#endif
    return true;
}

bool PartWorker::finish() {
#if BPREP2_HAS_THREADS
    if (threaded()) {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return (waiting_.empty() && !busy_) || failed_; });
    }
#endif
    return !failed_;
}

#if BPREP2_HAS_THREADS

bool PartWorker::threaded() const { return thread_.joinable(); }

void PartWorker::startThread() {
    // Without a thread of its own, the back end passes each part at once.
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
    }
}

// A failure of any kind here fails the part: the attempt made again with
// the whole list meets it on the main thread, where it is reported. After
// a failure the parts still waiting are dropped unseen.
void PartWorker::serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return !waiting_.empty() || stopping_; });
        if (stopping_) return;
        PartJob job = std::move(waiting_.front());
        waiting_.pop_front();
        tokensWaiting_ -= job.tokens.size();
        bool skip = failed_;
        busy_ = true;
        lock.unlock();
        bool passed = false;
        if (!skip) {
            try {
                passed = passAndWrite(job);
            } catch (...) {
            }
        }
        lock.lock();
        busy_ = false;
        failed_ = failed_ || !passed;
        if (spareLists_.size() < mostSpareLists) spareLists_.push_back(std::move(job.tokens));
        changed_.notify_all();
    }
}

PartWorker::~PartWorker() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

#else

bool PartWorker::threaded() const { return false; }
void PartWorker::startThread() {}
PartWorker::~PartWorker() = default;

#endif

bool threadsAvailable() { return BPREP2_HAS_THREADS != 0; }

PartWorkerHandle startParts(const PreprocessorContext& front, size_t expectedText, bool threaded) {
    PartWorkerHandle worker(new PartWorker(front, expectedText));
    if (threaded) worker->startThread();
    return worker;
}

bool handOverPart(PartWorker& worker, const PreprocessorContext& front, TokenList& part,
                  std::vector<std::string>& arraysDeclared) {
    return worker.handOver(front, part, arraysDeclared);
}

bool finishParts(PartWorker& worker) { return worker.finish(); }

bool partsUsedObjectRuntime(const PartWorker& worker) { return worker.usedObjectRuntime(); }

void takePartsText(PartWorker& worker, TextBuffer& text) { worker.takeText(text); }

void PartWorkerDeleter::operator()(PartWorker* worker) const { delete worker; }

}  // namespace bprep2
