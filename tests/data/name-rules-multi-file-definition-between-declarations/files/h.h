void Fn(void) BODY
