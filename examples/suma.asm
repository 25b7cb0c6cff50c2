; suma.asm: suma dos números y saca el resultado por el puerto 01.
;
; Resultado: el puerto de salida 01 muestra 0008 (5 + 3) y TUKA-2 se para
; en HALT con "Fin la ejecución :-)".
;
; Ensamblar:  tuka2 asm suma.asm -o suma.ehc
; Ejecutar:   tuka2 run suma.ehc

        LLI R1, H'05      ; primer sumando
        LLI R2, H'03      ; segundo sumando
        ADDS R3, R1, R2   ; R3 := R1 + R2
        OUT H'01, R3      ; el resultado sale por el puerto 01
        HALT
