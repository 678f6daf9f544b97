#include "saver/transitions/transition_logic.h"

#include "saver/common/random.h"

const char kTransitionNames[kTransitionKinds][kTransitionNameSize] = {
    "00 " "\x96\x8B\x8A\x4A\x82\xAB",                                  // 00 幕開き
    "01 " "\x96\x8B\x88\xF8\x82\xAB",                                  // 01 幕引き
    "02 " "\x8F\xE3\x89\xBA\x8A\x4A\x82\xAB",                          // 02 上下開き
    "03 " "\x8D\xB6\x89\x45\x8A\x4A\x82\xAB",                          // 03 左右開き
    "04 " "\x92\x86\x89\x9B",                                          // 04 中央
    "05 " "\x89\xBA\x82\xAA\x82\xE8\x96\x8B",                          // 05 下がり幕
    "06 " "\x8F\xE3\x82\xAA\x82\xE8\x96\x8B",                          // 06 上がり幕
    "07 " "\x88\xF8\x82\xAB\x96\x8B",                                  // 07 引き幕
    "08 " "\x83\x59\x81\x5B\x83\x80",                                  // 08 ズーム
    "09 " "\x89\xA1\x83\x58\x83\x67\x83\x89\x83\x43\x83\x76",          // 09 横ストライプ
    "10 " "\x8F\x63\x83\x58\x83\x67\x83\x89\x83\x43\x83\x76",          // 10 縦ストライプ
    "11 " "\x8F\x63\x89\xA1\x83\x58\x83\x67\x83\x89\x83\x43\x83\x76",  // 11 縦横ストライプ
    "12 " "\x89\xA1\x91\x67\x8D\x9E\x82\xDD",                          // 12 横組込み
    "13 " "\x8F\x63\x91\x67\x8D\x9E\x82\xDD",                          // 13 縦組込み
    "14 " "\x83\x74\x83\x8D\x83\x80\x83\x5F\x81\x5B\x83\x4E",          // 14 フロムダーク
};

namespace {

// The double nearest 1/30: a stripe grows by this share of its pitch per
// frame, accumulated so that 30 frames cover the pitch without rounding.
const double kThirtieth = 0.03333333333333333;

const uint16_t kFallbackList[1] = {0};

// The geometry fields are 16-bit and wrap, as the drawing expects.
uint16_t To16(int32_t value) { return static_cast<uint16_t>(static_cast<uint32_t>(value)); }

uint16_t Add16(uint16_t value, int32_t delta)
{
    return static_cast<uint16_t>(static_cast<uint32_t>(value) + static_cast<uint32_t>(delta));
}

// Truncation toward zero; values outside the 32-bit range (never reached
// by ordinary areas) saturate instead of being undefined.
int32_t Trunc(double value)
{
    if (!(value > -2147483648.0)) return INT32_MIN;
    if (value >= 2147483647.0) return INT32_MAX;
    return static_cast<int32_t>(value);
}

// An area under 20 pixels would make the pitch 0 and the walk endless.
int32_t Pitch(int32_t extent)
{
    int32_t pitch = extent / 20;
    return pitch < 1 ? 1 : pitch;
}

int32_t StoredPitch(double pitch)
{
    int32_t p = Trunc(pitch);
    return p < 1 ? 1 : p;
}

void Emit(TransitionDraws* out, uint8_t op, int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t srcX = 0,
          int32_t srcY = 0, int32_t srcCx = 0, int32_t srcCy = 0)
{
    if (out->count >= kMaxTransitionDraws) return;
    TransitionDraw& d = out->items[out->count++];
    d.op = op;
    d.x = x;
    d.y = y;
    d.cx = cx;
    d.cy = cy;
    d.srcX = srcX;
    d.srcY = srcY;
    d.srcCx = srcCx;
    d.srcCy = srcCy;
    d.red = d.green = d.blue = 0;
}

void Fill(TransitionDraws* out, int32_t left, int32_t top, int32_t right, int32_t bottom)
{
    Emit(out, DrawFill, left, top, right, bottom);
}

void Copy(TransitionDraws* out, int32_t x, int32_t y, int32_t cx, int32_t cy, int32_t srcX, int32_t srcY)
{
    Emit(out, DrawCopy, x, y, cx, cy, srcX, srcY, cx, cy);
}

// The walk of the stripe effects: position 0, pitch, 2 pitch, ... while the
// 16-bit position is at most the 16-bit extent. A position that would wrap
// past 65535 ends the walk, and so does the cap.
template <typename Body>
void Walk(uint16_t* position, int32_t pitch, int32_t extent, Body body)
{
    const uint16_t limit = To16(extent);
    *position = 0;
    for (int n = 0; n < kMaxStripeWalk && *position <= limit; ++n) {
        body(n);
        uint32_t next = static_cast<uint32_t>(*position) + static_cast<uint32_t>(pitch);
        *position = static_cast<uint16_t>(next);
        if (next > 0xFFFFu) break;
    }
}

uint16_t ValidKind(uint16_t kind, const uint16_t* enabled)
{
    if (kind < kTransitionKinds) return kind;
    return enabled[0] < kTransitionKinds ? enabled[0] : 0;
}

uint16_t PickKind(const TransitionInputs& in)
{
    const uint16_t* enabled = in.enabled ? in.enabled : kFallbackList;
    uint16_t count = in.enabled ? in.fadeCount : 1;
    if (count == 0) count = 1;
    if (count > kEnabledTransitionSlots) count = kEnabledTransitionSlots;
    return enabled[RandomIndex(count)];
}

// A number above 14 falls back to the list's first entry, itself replaced
// by kind 0 when out of range. The fallback geometry comes first; the
// replacement's own set-up then fills in what that kind reads.
uint16_t ResolveKind(TransitionState* s, const TransitionInputs& in, uint16_t kind)
{
    if (kind < kTransitionKinds) return kind;
    s->x = 0;
    s->y = 0;
    s->cx = To16(in.width);
    s->cy = 0;
    return ValidKind(kind, in.enabled ? in.enabled : kFallbackList);
}

void DarkCreate(TransitionDraws* out, int32_t W, int32_t H) { Emit(out, DrawDarkCreate, 0, 0, W, H); }

void DarkFrame(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H)
{
    if (out->count >= kMaxTransitionDraws) return;
    Emit(out, DrawDarkFrame, 0, 0, W, H, 0, 0, s->cx, s->cy);
    TransitionDraw& d = out->items[out->count - 1];
    d.red = static_cast<uint8_t>(s->darkR & 0xFF);
    d.green = static_cast<uint8_t>(s->darkG & 0xFF);
    d.blue = static_cast<uint8_t>(s->darkB & 0xFF);
}

void SetDarkLevels(TransitionState* s, int32_t level)
{
    s->darkR = level;
    s->darkG = level;
    s->darkB = level;
}

void StepDarkLevels(TransitionState* s, int32_t delta)
{
    s->darkR += delta;
    s->darkG += delta;
    s->darkB += delta;
}

void SetStripes(TransitionState* s, int32_t W, int32_t H)
{
    s->stripeW = Pitch(W);
    s->stripeH = Pitch(H);
}

void RevealSetUp(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H)
{
    switch (s->kind) {
    case 0:
        s->cx = To16(W);
        s->cy = 0;
        break;
    case 1:
        s->x = 0;
        s->y = 0;
        s->cx = 0;
        s->cy = To16(H);
        break;
    case 2:
        s->x = 0;
        s->y = To16(H / 2);
        s->cx = To16(W);
        s->cy = 0;
        break;
    case 3:
        s->x = To16(W / 2);
        s->y = 0;
        s->cx = 0;
        s->cy = To16(H);
        break;
    case 4:
    case 8:
        s->x = To16(W / 2);
        s->y = To16(H / 2);
        s->cx = 0;
        s->cy = 0;
        break;
    case 5:
        s->cx = To16(W);
        s->cy = 0;
        break;
    case 6:
        s->x = 0;
        s->y = To16(H);
        s->cx = To16(W);
        s->cy = 0;
        break;
    case 7:
        s->x = To16(W);
        s->y = 0;
        s->cx = 0;
        s->cy = To16(H);
        break;
    case 9:
        s->stripeH = Pitch(H);
        s->cx = To16(W);
        s->growH = 0;
        break;
    case 10:
        s->stripeW = Pitch(W);
        s->cy = To16(H);
        s->growW = 0;
        break;
    case 11:
        s->growW = 0;
        s->growH = 0;
        SetStripes(s, W, H);
        break;
    case 12:
        SetStripes(s, W, H);
        s->bandLeft = 0;
        s->bandRight = W;
        break;
    case 13:
        SetStripes(s, W, H);
        s->bandTop = 0;
        s->bandBottom = H;
        break;
    case 14:
        DarkCreate(out, W, H);
        s->cx = To16(W);
        s->cy = To16(H);
        SetDarkLevels(s, 0);
        break;
    default:
        break;
    }
}

void HideSetUp(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H)
{
    switch (s->kind) {
    case 0:
    case 2:
        s->cy = 0;
        break;
    case 1:
    case 3:
        s->cx = 0;
        break;
    case 4:
        s->cx = 0;
        s->cy = 0;
        break;
    case 5:
        s->y = 0;
        s->cx = To16(W);
        s->cy = 0;
        break;
    case 6:
        s->y = 0;
        s->cy = To16(H);
        break;
    case 7:
        s->x = 0;
        s->cx = To16(W);
        s->cy = To16(H);
        break;
    case 8:
        s->x = 0;
        s->y = 0;
        s->cx = To16(W);
        s->cy = To16(H);
        break;
    case 9:
        s->stripeH = Pitch(H);
        s->growH = 0;
        break;
    case 10:
        s->stripeW = Pitch(W);
        s->growW = 0;
        break;
    case 11:
    case 12:
    case 13:
        RevealSetUp(s, out, W, H);
        break;
    case 14:
        DarkCreate(out, W, H);
        s->cx = To16(W);
        s->cy = To16(H);
        SetDarkLevels(s, 255);
        break;
    default:
        break;
    }
}

// Kinds 9 to 11 share their walks; `reveal` chooses copies or fills.
void StripeFrame(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H, bool reveal)
{
    switch (s->kind) {
    case 9: {
        s->growH += s->stripeH * kThirtieth;
        const int32_t grow = Trunc(s->growH);
        Walk(&s->y, StoredPitch(s->stripeH), H, [&](int) {
            if (reveal) Copy(out, 0, s->y, W, grow, 0, s->y);
            else Fill(out, 0, s->y, W, s->y + grow);
        });
        break;
    }
    case 10: {
        s->growW += s->stripeW * kThirtieth;
        const int32_t grow = Trunc(s->growW);
        Walk(&s->x, StoredPitch(s->stripeW), W, [&](int) {
            if (reveal) Copy(out, s->x, 0, grow, H, s->x, 0);
            else Fill(out, s->x, 0, s->x + grow, H);
        });
        break;
    }
    case 11: {
        s->growW += s->stripeW * kThirtieth;
        s->growH += s->stripeH * kThirtieth;
        const int32_t growW = Trunc(s->growW);
        const int32_t growH = Trunc(s->growH);
        const int32_t pitchW = StoredPitch(s->stripeW);
        Walk(&s->y, StoredPitch(s->stripeH), H, [&](int) {
            Walk(&s->x, pitchW, W, [&](int) {
                if (reveal) Copy(out, s->x, s->y, growW, growH, s->x, s->y);
                else Fill(out, s->x, s->y, s->x + growW, s->y + growH);
            });
        });
        break;
    }
    default:
        break;
    }
}

// Kinds 12 and 13: draw with the current bands, then grow them.
void InterlockFrame(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H, bool reveal)
{
    if (s->kind == 12) {
        const int32_t band = Trunc(s->stripeH);
        Walk(&s->y, StoredPitch(s->stripeH), H, [&](int n) {
            const int32_t y = s->y;
            if (n % 2 == 0) {
                s->x = To16(Trunc(s->bandLeft));
                if (reveal) Copy(out, 0, y, s->x, band, 0, y);
                else Fill(out, 0, y, s->x, y + band);
            } else {
                s->x = To16(Trunc(s->bandRight));
                if (reveal) Copy(out, s->x, y, W - s->x, band, s->x, y);
                else Fill(out, s->x, y, W, y + band);
            }
        });
        s->bandLeft += W / 30;
        s->bandRight += W / -30;
    } else {
        const int32_t band = Trunc(s->stripeW);
        Walk(&s->x, StoredPitch(s->stripeW), W, [&](int n) {
            const int32_t x = s->x;
            if (n % 2 == 0) {
                s->y = To16(Trunc(s->bandTop));
                if (reveal) Copy(out, x, 0, band, s->y, x, 0);
                else Fill(out, x, 0, x + band, s->y);
            } else {
                s->y = To16(Trunc(s->bandBottom));
                if (reveal) Copy(out, x, s->y, band, H - s->y, x, s->y);
                else Fill(out, x, s->y, x + band, H);
            }
        });
        s->bandTop += H / 30;
        s->bandBottom += H / -30;
    }
}

void RevealFrame(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H)
{
    switch (s->kind) {
    case 0:
        s->cy = Add16(s->cy, H / 30);
        Copy(out, 0, 0, s->cx, s->cy, 0, 0);
        break;
    case 1:
        s->cx = Add16(s->cx, W / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, s->x, s->y);
        break;
    case 2:
        s->y = Add16(s->y, (H / 2) / -30);
        s->cy = Add16(s->cy, H / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, s->x, s->y);
        break;
    case 3:
        s->x = Add16(s->x, (W / 2) / -30);
        s->cx = Add16(s->cx, W / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, s->x, s->y);
        break;
    case 4:
        s->x = Add16(s->x, (W / 2) / -30);
        s->y = Add16(s->y, (H / 2) / -30);
        s->cx = Add16(s->cx, W / 30);
        s->cy = Add16(s->cy, H / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, s->x, s->y);
        break;
    case 5:
        s->cy = Add16(s->cy, H / 30);
        Copy(out, 0, 0, s->cx, s->cy, 0, H - s->cy);
        break;
    case 6:
        s->y = Add16(s->y, H / -30);
        s->cy = Add16(s->cy, H / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, 0, 0);
        break;
    case 7:
        s->x = Add16(s->x, W / -30);
        s->cx = Add16(s->cx, W / 30);
        Copy(out, s->x, s->y, s->cx, s->cy, 0, 0);
        break;
    case 8:
        s->x = Add16(s->x, (W / 2) / -30);
        s->y = Add16(s->y, (H / 2) / -30);
        s->cx = Add16(s->cx, W / 30);
        s->cy = Add16(s->cy, H / 30);
        Emit(out, DrawStretch, s->x, s->y, s->cx, s->cy, 0, 0, W, H);
        break;
    case 9:
    case 10:
    case 11:
        StripeFrame(s, out, W, H, true);
        break;
    case 12:
    case 13:
        InterlockFrame(s, out, W, H, true);
        break;
    case 14:
        DarkFrame(s, out, W, H);
        StepDarkLevels(s, 8);
        break;
    default:
        break;
    }
}

void HideFrame(TransitionState* s, TransitionDraws* out, int32_t W, int32_t H)
{
    switch (s->kind) {
    case 0:
        s->cy = Add16(s->cy, H / 30);
        Fill(out, 0, 0, W, s->cy);
        break;
    case 1:
        s->cx = Add16(s->cx, W / 30);
        Fill(out, 0, 0, s->cx, H);
        break;
    case 2:
        s->cy = Add16(s->cy, (H / 2) / 30);
        Fill(out, 0, 0, W, s->cy);
        Fill(out, 0, H - s->cy, W, H);
        break;
    case 3:
        s->cx = Add16(s->cx, (W / 2) / 30);
        Fill(out, 0, 0, s->cx, H);
        Fill(out, W - s->cx, 0, W, H);
        break;
    case 4:
        s->cy = Add16(s->cy, (H / 2) / 30);
        Fill(out, 0, 0, W, s->cy);
        Fill(out, 0, H - s->cy, W, H);
        s->cx = Add16(s->cx, (W / 2) / 30);
        Fill(out, 0, 0, s->cx, H);
        Fill(out, W - s->cx, 0, W, H);
        break;
    case 5:
        s->y = Add16(s->y, H / 30);
        s->cx = To16(W);
        s->cy = To16(H - s->y);
        Copy(out, 0, s->y, s->cx, s->cy, 0, 0);
        Fill(out, 0, 0, W, s->y);
        break;
    case 6:
        s->cy = Add16(s->cy, H / -30);
        s->cx = To16(W);
        s->y = Add16(s->y, H / 30);
        Copy(out, 0, 0, s->cx, s->cy, 0, s->y);
        Fill(out, 0, s->cy, W, H);
        break;
    case 7:
        s->x = Add16(s->x, W / 30);
        s->cx = Add16(s->cx, W / -30);
        s->cy = To16(H);
        Copy(out, 0, 0, s->cx, s->cy, s->x, 0);
        Fill(out, s->cx, 0, W, H);
        break;
    case 8:
        s->x = Add16(s->x, (W / 2) / 30);
        s->y = Add16(s->y, (H / 2) / 30);
        s->cx = Add16(s->cx, W / -30);
        s->cy = Add16(s->cy, H / -30);
        Emit(out, DrawStretch, s->x, s->y, s->cx, s->cy, 0, 0, W, H);
        Fill(out, 0, 0, W, s->y);
        Fill(out, 0, s->y + s->cy, W, H);
        Fill(out, 0, 0, s->x, H);
        Fill(out, s->x + s->cx, 0, W, H);
        break;
    case 9:
    case 10:
    case 11:
        StripeFrame(s, out, W, H, false);
        break;
    case 12:
    case 13:
        InterlockFrame(s, out, W, H, false);
        break;
    case 14:
        DarkFrame(s, out, W, H);
        StepDarkLevels(s, -8);
        break;
    default:
        break;
    }
}

}  // namespace

uint32_t EffectiveDisplay(uint32_t display)
{
    return display > kMaxTransitionDisplay ? kMaxTransitionDisplay : display;
}

int AdvanceTransition(TransitionState* s, const TransitionInputs& in, TransitionDraws* out)
{
    out->count = 0;
    const int32_t W = in.width;
    const int32_t H = in.height;
    const int32_t hideStart = static_cast<int32_t>(EffectiveDisplay(in.display)) + kCompletionFrame;
    const int32_t hideEnd = hideStart + kHideFrames;
    const int32_t frame = s->frameIndex;

    if (frame == 0) {
        Fill(out, 0, 0, W, H);
        s->kind = ResolveKind(s, in, PickKind(in));
        RevealSetUp(s, out, W, H);
    }
    if (frame >= 1 && frame <= kRevealFrames) RevealFrame(s, out, W, H);
    if (frame == kCompletionFrame) {
        s->x = 0;
        s->y = 0;
        s->cx = To16(W);
        s->cy = To16(H);
        Copy(out, 0, 0, W, H, 0, 0);
        Emit(out, DrawDarkRelease, 0, 0, 0, 0);
    }
    if (frame == hideStart) {
        uint16_t kind = in.fadeInOut == 0 ? PickKind(in) : s->kind;
        s->kind = ResolveKind(s, in, kind);
        HideSetUp(s, out, W, H);
    }
    if (frame > hideStart && frame <= hideEnd) HideFrame(s, out, W, H);
    if (frame <= hideEnd) {
        s->frameIndex = frame + 1;
        return 0;
    }
    Fill(out, 0, 0, W, H);
    Emit(out, DrawDarkRelease, 0, 0, 0, 0);
    s->frameIndex = 0;
    return 1;
}

bool DrawnBounds(const TransitionDraws& draws, int32_t width, int32_t height, int32_t bounds[4])
{
    int32_t l = width, t = height, r = 0, b = 0;
    for (uint32_t i = 0; i < draws.count && i < kMaxTransitionDraws; ++i) {
        const TransitionDraw& d = draws.items[i];
        int32_t x0, y0, x1, y1;
        switch (d.op) {
        case DrawFill:
            x0 = d.x, y0 = d.y, x1 = d.cx, y1 = d.cy;
            break;
        case DrawCopy:
        case DrawStretch:
            x0 = d.x, y0 = d.y, x1 = d.x + d.cx, y1 = d.y + d.cy;
            break;
        case DrawDarkFrame:
            x0 = 0, y0 = 0, x1 = d.srcCx, y1 = d.srcCy;
            break;
        default:
            continue;
        }
        if (x0 < 0) x0 = 0;
        if (y0 < 0) y0 = 0;
        if (x1 > width) x1 = width;
        if (y1 > height) y1 = height;
        if (x1 <= x0 || y1 <= y0) continue;
        if (x0 < l) l = x0;
        if (y0 < t) t = y0;
        if (x1 > r) r = x1;
        if (y1 > b) b = y1;
    }
    if (r <= l || b <= t) return false;
    bounds[0] = l, bounds[1] = t, bounds[2] = r, bounds[3] = b;
    return true;
}
