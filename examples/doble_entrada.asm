; doble_entrada.asm: lee el puerto de entrada 02 y saca su doble por el
; puerto de salida 01.
;
; El puerto de entrada 01 es el teclado (guarda la dirección de
; arranque), por eso el dato entra por el 02: en ORBEN se escribe en la
; ventana de los puertos de entrada; con tuka2, con --in.
;
; Resultado: con 0015 en el puerto 02, el puerto de salida 01 muestra 002A.
;
; Ensamblar:  tuka2 asm doble_entrada.asm -o doble_entrada.ehc
; Ejecutar:   tuka2 run doble_entrada.ehc --in 02=0015

DATO    EQU H'02            ; puerto de entrada del dato
SALIDA  EQU H'01            ; puerto de salida del resultado

        IN R1, DATO
        ADDS R2, R1, R1     ; R2 := 2 x R1
        OUT SALIDA, R2
        HALT
