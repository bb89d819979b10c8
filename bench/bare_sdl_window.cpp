// The floor of the demo benchmark: a bare SDL2 program that opens a window of the given size,
// presents the given number of frames (cleared to one colour) and exits, as little as a
// player can do. With "wait" it then waits on events (as an idle dialog does) until it is
// asked to quit.  usage: bare_sdl_window WIDTH HEIGHT [FRAMES [wait]]
#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bare_sdl_window WIDTH HEIGHT [FRAMES [wait]]\n");
        return 2;
    }
    const int width = std::atoi(argv[1]), height = std::atoi(argv[2]);
    const int frames = argc > 3 ? std::atoi(argv[3]) : 1;
    const bool wait = argc > 4 && std::string(argv[4]) == "wait";
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "bare_sdl_window: %s\n", SDL_GetError());
        return 1;
    }
    SDL_Window* window = SDL_CreateWindow("bare", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height, 0);
    SDL_Renderer* renderer = window ? SDL_CreateRenderer(window, -1, 0) : nullptr;
    if (!renderer) {
        std::fprintf(stderr, "bare_sdl_window: %s\n", SDL_GetError());
        SDL_Quit();
        return 1;
    }
    for (int i = 0; i < frames; ++i) {
        SDL_Event event;
        while (SDL_PollEvent(&event)) {
        }
        SDL_SetRenderDrawColor(renderer, 16, 32, 64, 255);
        SDL_RenderClear(renderer);
        SDL_RenderPresent(renderer);
    }
    for (SDL_Event event; wait && SDL_WaitEvent(&event) && event.type != SDL_QUIT;) {
    }
    SDL_DestroyRenderer(renderer);
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
