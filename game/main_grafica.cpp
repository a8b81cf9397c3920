// main: scrolling and the picture of play (stand-ins until play lands).
#include "main.h"

void scro(float) {}
void act_grafica() {}
void dibucamfuesan() {}
