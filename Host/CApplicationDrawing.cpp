// Render settings, the view, clearing and presenting a frame.
#include "Host/CApplication.h"

#include "Host/GL.h"
#include "Shared/CGeneralError.h"

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

void CApplication::NotAvailableYet(const char* operation)
{
    throw VANTOR_GENERAL_ERROR(std::string(operation) + " is not available yet");
}

void CApplication::DrawImage(const CTexture&, std::int32_t, std::int32_t, std::int32_t, std::int32_t, float, float)
{
    NotAvailableYet("DrawImage");
}

void CApplication::DrawFlatTriangle(const CVector&, const CVector&, const CVector&, const CColour&)
{
    NotAvailableYet("DrawFlatTriangle");
}

void CApplication::DrawTriangle(const CVector&, const CColour&, const CVector&, const CColour&, const CVector&,
                                const CColour&)
{
    NotAvailableYet("DrawTriangle");
}

void CApplication::DrawTexturedTriangle(const CVector&, float, float, const CVector&, float, float, const CVector&,
                                        float, float, const CTexture&)
{
    NotAvailableYet("DrawTexturedTriangle");
}
