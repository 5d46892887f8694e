/* hello.c: the first program for a Z7Q terminal. */
#include <stdio.h>

static int counter;

int next_count(int step)
{
	counter += step;
	return counter;
}

int main(void)
{
	int i;

	for (i = 0; i < 3; i++) {
		printf("Hello, terminal %d\n", next_count(1));
	}
	return 0;
}
