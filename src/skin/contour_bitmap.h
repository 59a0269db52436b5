#pragma once
#include <utility>

#include "skin/bitmap.h"
#include "skin/colour.h"

typedef struct _cairo cairo_t;
typedef struct _cairo_region cairo_region_t;

// Turns a bitmap into a window shape: every pixel of the transparent colour is cut out.
// The bitmap is borrowed (attached for one build and detached again), so the skin's
// image cache keeps ownership.
class CContourBitmap {
public:
    CContourBitmap() = default;
    explicit CContourBitmap(const Skin::Bitmap* bitmap);
    virtual ~CContourBitmap();
    CContourBitmap(const CContourBitmap&) = delete;
    CContourBitmap& operator=(const CContourBitmap&) = delete;

    void Attach(const Skin::Bitmap* bitmap) { m_bitmap = bitmap; }
    const Skin::Bitmap* Detach() { return std::exchange(m_bitmap, nullptr); }

    // A new region (the caller destroys it) of every pixel whose RGB colour differs from
    // `transparent`; Skin::kTopLeftColour takes the top-left pixel's colour. Nothing
    // without a bitmap.
    cairo_region_t* GetRegion(Skin::Colour transparent) const;
    // The same with the colour of pixel (x, y); nothing when that pixel does not exist.
    cairo_region_t* GetRegionAt(int x, int y) const;
    // Width and height; (0, 0) without a bitmap.
    std::pair<int, int> GetSize() const;
    // Copies the whole bitmap to (x, y) unchanged.
    void Draw(cairo_t* cr, int x, int y) const;

private:
    const Skin::Bitmap* m_bitmap = nullptr;
};
