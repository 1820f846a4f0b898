/* The GLUT calls Velmora makes, for the browser build: web/glut_web.cpp gives
 * them a canvas, the page's menu overlay and a requestAnimationFrame loop. */
#ifndef VELMORA_WEB_GLUT_H
#define VELMORA_WEB_GLUT_H

#include <GL/gl.h>
#include <GL/glu.h>

#ifdef __cplusplus
extern "C" {
#endif

#define GLUT_RGB 0
#define GLUT_RGBA 0
#define GLUT_SINGLE 0
#define GLUT_DOUBLE 2
#define GLUT_DEPTH 16

#define GLUT_LEFT_BUTTON 0
#define GLUT_MIDDLE_BUTTON 1
#define GLUT_RIGHT_BUTTON 2
#define GLUT_DOWN 0
#define GLUT_UP 1

#define GLUT_KEY_F1 1
#define GLUT_KEY_LEFT 100
#define GLUT_KEY_UP 101
#define GLUT_KEY_RIGHT 102
#define GLUT_KEY_DOWN 103
#define GLUT_KEY_PAGE_UP 104
#define GLUT_KEY_PAGE_DOWN 105
#define GLUT_KEY_HOME 106
#define GLUT_KEY_END 107

#define GLUT_WINDOW_WIDTH 102
#define GLUT_WINDOW_HEIGHT 103
#define GLUT_ELAPSED_TIME 700

void glutInit(int* argc, char** argv);
void glutInitDisplayMode(unsigned int mode);
void glutInitWindowPosition(int x, int y);
void glutInitWindowSize(int width, int height);
int glutCreateWindow(const char* title);
void glutDisplayFunc(void (*func)(void));
void glutIdleFunc(void (*func)(void));
void glutReshapeFunc(void (*func)(int width, int height));
void glutSpecialFunc(void (*func)(int key, int x, int y));
void glutPassiveMotionFunc(void (*func)(int x, int y));
void glutMouseFunc(void (*func)(int button, int state, int x, int y));
int glutCreateMenu(void (*func)(int value));
void glutAddMenuEntry(const char* label, int value);
void glutAddSubMenu(const char* label, int submenu);
void glutAttachMenu(int button);
void glutPostRedisplay(void);
void glutSwapBuffers(void);
int glutGet(GLenum state);
void glutMainLoop(void);

#ifdef __cplusplus
}
#endif

#endif
