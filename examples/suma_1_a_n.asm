; suma_1_a_n.asm: suma 1 + 2 + ... + N con un bucle contado.
;
; R1 cuenta hacia atrás desde N; R2 acumula la suma. SUBS pone el flag Z
; cuando el contador llega a 0. Los saltos van siempre a la dirección de
; RD, así que antes de cada salto se carga RD con LDI.
;
; Resultado: con N = 10, el puerto de salida 01 muestra 0037 (55).
;
; Ensamblar:  tuka2 asm suma_1_a_n.asm -o suma_1_a_n.ehc
; Ejecutar:   tuka2 run suma_1_a_n.ehc

N       EQU 10

        LLI R1, N           ; contador: N, N-1, ..., 1
        LLI R2, 0           ; suma
        LLI R3, 1           ; la constante 1
bucle:  ADDS R2, R2, R1     ; suma := suma + contador
        SUBS R1, R1, R3     ; contador := contador - 1 (Z si llega a 0)
        LDI RD, fin
        BZ                  ; contador = 0: fin del bucle
        LDI RD, bucle
        BR                  ; si no, otra vuelta
fin:    OUT H'01, R2
        HALT
