#pragma once
// The notifying bases of the pixel surfaces: change notification batched by
// update brackets, a per-object lock, and a width-by-height map.

#include <atomic>
#include <mutex>

#include "pictures/graphic.h"

class TNotifiablePersistent {
public:
    TNotifiablePersistent() = default;
    virtual ~TNotifiablePersistent() = default;
    TNotifiablePersistent(const TNotifiablePersistent&) = delete;
    TNotifiablePersistent& operator=(const TNotifiablePersistent&) = delete;

    // Inside brackets OnChange fires once, when the outermost one closes.
    virtual void BeginUpdate();
    virtual void EndUpdate();
    // Fires OnChange at once outside brackets; nothing while update-locked.
    virtual void Changed();
    void BeginLockUpdate() { ++FLockUpdateCount; }
    void EndLockUpdate() { --FLockUpdateCount; }
    int UpdateCount() const { return FUpdateCount; }

    const TNotifyEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent handler) { FOnChange = std::move(handler); }

protected:
    virtual void DoChanged();

private:
    int FUpdateCount = 0;
    int FLockUpdateCount = 0;
    bool FModified = false;
    TNotifyEvent FOnChange;
};

// Adds the object's own lock. The program uses one thread, so the lock is
// never contended; it keeps the objects safe to share all the same.
class TThreadPersistent : public TNotifiablePersistent {
public:
    void Lock() {
        FLockCount.fetch_add(1);
        FLock.lock();
    }
    void Unlock() {
        FLock.unlock();
        FLockCount.fetch_sub(1);
    }
    int LockCount() const { return FLockCount.load(); }

private:
    std::atomic<int> FLockCount{0};
    std::recursive_mutex FLock;
};

// A width-by-height map whose size changes only through SetSize.
class TCustomMap : public TThreadPersistent {
public:
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    void SetWidth(int value) { SetSize(value, FHeight); }
    void SetHeight(int value) { SetSize(FWidth, value); }
    // Negative values count as 0. Returns false, and notifies nobody, when the
    // size stays as it is; otherwise the map is resized (ChangeSize) inside an
    // update bracket, then OnResize fires.
    virtual bool SetSize(int newWidth, int newHeight);
    virtual bool Empty() const { return FWidth == 0 || FHeight == 0; }
    void Delete() { SetSize(0, 0); }

    const TNotifyEvent& OnResize() const { return FOnResize; }
    void SetOnResize(TNotifyEvent handler) { FOnResize = std::move(handler); }

protected:
    // Replaces the content; must leave width and height at the new values or,
    // on failure, at a consistent size (0 by 0 for a failed allocation).
    virtual void ChangeSize(int& width, int& height, int newWidth, int newHeight);
    virtual void Resized();

    int FHeight = 0;
    int FWidth = 0;

private:
    TNotifyEvent FOnResize;
};
