// Render settings, the view, clearing and presenting a frame.
#include "Host/CApplication.h"

#include "Vantor/GL.h"

#include <tuple>
#include <utility>

void CApplication::SetSmoothing(bool on)
{
    Smoothing = on;
}

void CApplication::SetPixelSnap(bool on)
{
    PixelSnap = on;
}

void CApplication::SetAlpha(float alpha)
{
    Alpha = alpha;
}

void CApplication::SetClearColour(float red, float green, float blue)
{
    glClearColor(red, green, blue, 1.0f);
}

void CApplication::Clear()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

bool CApplication::Present()
{
    return Platform->SwapBuffers();
}

void CApplication::SetView(std::int32_t width, std::int32_t height)
{
    // A zero side would make an infinite scale; the projection stays as it was.
    if (width == 0 || height == 0)
        return;
    GLint mode = GL_MODELVIEW;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glMatrixMode(GL_PROJECTION);
    // Multiplies onto the projection: callers reset it first.
    glTranslatef(-1.0f, 1.0f, 0.0f);
    glScalef(2.0f / static_cast<float>(width), -2.0f / static_cast<float>(height), 1.0f);
    glMatrixMode(static_cast<GLenum>(mode));
}

namespace
{
// The filters are written into the bound texture on every draw, from the current setting.
void SetFilters(bool smoothing)
{
    const GLint filter = smoothing ? GL_LINEAR : GL_NEAREST;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
}
} // namespace

void CApplication::DrawImage(const CTexture& texture, std::int32_t x, std::int32_t y, std::int32_t width,
                             std::int32_t height, float anchorX, float anchorY)
{
    // Only -1 means the picture's own size; other negative sizes mirror the quad.
    if (width == -1)
        width = texture.GetWidth();
    if (height == -1)
        height = texture.GetHeight();
    const float fullWidth = static_cast<float>(width);
    const float fullHeight = static_cast<float>(height);
    float left = 0.0f;
    float top = 0.0f;
    if (PixelSnap)
    {
        left = static_cast<float>(x - static_cast<std::int32_t>(fullWidth * anchorX));
        top = static_cast<float>(y - static_cast<std::int32_t>(fullHeight * anchorY));
    }
    else
    {
        left = static_cast<float>(x) - fullWidth * anchorX;
        top = static_cast<float>(y) - fullHeight * anchorY;
    }
    const float right = left + fullWidth;
    const float bottom = top + fullHeight;
    const float maxU = texture.GetMaxU();
    const float maxV = texture.GetMaxV();

    glEnable(GL_TEXTURE_2D);
    glDisable(GL_CULL_FACE);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureId());
    SetFilters(Smoothing);
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, Alpha);
    glVertex2f(left, top);
    glTexCoord2f(maxU, 0.0f);
    glColor4f(1.0f, 1.0f, 1.0f, Alpha);
    glVertex2f(right, top);
    glTexCoord2f(maxU, maxV);
    glColor4f(1.0f, 1.0f, 1.0f, Alpha);
    glVertex2f(right, bottom);
    glTexCoord2f(0.0f, maxV);
    glColor4f(1.0f, 1.0f, 1.0f, Alpha);
    glVertex2f(left, bottom);
    glEnd();
}

void CApplication::DrawFlatTriangle(const CVector& a, const CVector& b, const CVector& c, const CColour& colour)
{
    DrawTriangle(a, colour, b, colour, c, colour);
}

void CApplication::DrawTriangle(const CVector& a, const CColour& colourA, const CVector& b, const CColour& colourB,
                                const CVector& c, const CColour& colourC)
{
    // Culled unless the corners run counter-clockwise on the screen.
    glDisable(GL_TEXTURE_2D);
    glEnable(GL_CULL_FACE);
    glBegin(GL_TRIANGLES);
    for (const auto& [corner, colour] : {std::pair{&a, &colourA}, std::pair{&b, &colourB}, std::pair{&c, &colourC}})
    {
        glColor4f(colour->Red, colour->Green, colour->Blue, Alpha);
        glVertex3f(corner->X, corner->Y, corner->Z);
    }
    glEnd();
}

void CApplication::DrawTexturedTriangle(const CVector& a, float ua, float va, const CVector& b, float ub, float vb,
                                        const CVector& c, float uc, float vc, const CTexture& texture)
{
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture.GetTextureId());
    SetFilters(Smoothing);
    glEnable(GL_CULL_FACE);
    // u and v are fractions of the picture, not of its power-of-two texture.
    const float maxU = texture.GetMaxU();
    const float maxV = texture.GetMaxV();
    glBegin(GL_TRIANGLES);
    for (const auto& [corner, u, v] : {std::tuple{&a, ua, va}, std::tuple{&b, ub, vb}, std::tuple{&c, uc, vc}})
    {
        glTexCoord2f(u * maxU, v * maxV);
        glColor4f(1.0f, 1.0f, 1.0f, Alpha);
        glVertex3f(corner->X, corner->Y, corner->Z);
    }
    glEnd();
}
