#include "Host/RequestClose.h"

#include <SDL.h>

void RequestWindowClose()
{
    SDL_Event event{};
    event.type = SDL_QUIT;
    SDL_PushEvent(&event);
}
